#include "desktops/desktop_gate.h"

#include <algorithm>

namespace qw {

DesktopGate& DesktopGate::shared() {
    static DesktopGate gate;
    return gate;
}

DesktopGate::Turn::~Turn() {
    if (gate_) gate_->passOn();
}

DesktopGate::Entry::~Entry() {
    switch (state_) {
    case State::waiting:
        std::erase(gate_.queue_, this);
        break;
    case State::granted:
        // Its task went away between being handed the turn and running: hand it on.
        if (wake_) loop_.cancel(*wake_);
        gate_.passOn();
        break;
    case State::asking:
    case State::entered:
        break;
    }
}

bool DesktopGate::Entry::await_ready() {
    if (gate_.taken_ || !gate_.queue_.empty()) return false;
    gate_.taken_ = true;
    state_ = State::entered;
    return true;
}

void DesktopGate::Entry::await_suspend(std::coroutine_handle<> task) {
    task_ = task;
    state_ = State::waiting;
    gate_.queue_.push_back(this);
}

void DesktopGate::passOn() {
    if (queue_.empty()) {
        taken_ = false;
        return;
    }
    Entry* next = queue_.front();
    queue_.pop_front();
    next->state_ = Entry::State::granted;
    // Resumed from the loop rather than from here, so that the task giving up its turn finishes
    // what it is doing first.
    next->wake_ = next->loop_.after(Duration{0}, [next] {
        next->wake_.reset();
        next->state_ = Entry::State::entered;
        next->task_.resume();
    });
}

} // namespace qw
