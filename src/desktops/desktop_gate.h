#pragma once

#include "platform/main_loop.h"

#include <coroutine>
#include <cstddef>
#include <deque>
#include <optional>
#include <utility>

namespace qw {

// One operation at a time among those that post synthetic input or switch desktops: carrying a
// window to another desktop, showing a desktop, adding or removing one through Mission Control.
// Any two of them would fight over the pointer and the displays (a desktop switched under a held
// window carries it to the wrong desktop), so each waits for its turn, first come, first served.
//
//     DesktopGate::Turn turn = co_await DesktopGate::shared().enter(loop);
//
// The turn passes on when the Turn is destroyed, also when the task holding it is destroyed with
// its loop; a task destroyed while waiting leaves the queue.
class DesktopGate {
public:
    class Turn {
    public:
        Turn(Turn&& other) noexcept : gate_(std::exchange(other.gate_, nullptr)) {}
        Turn& operator=(Turn&&) = delete;
        ~Turn();

    private:
        friend class DesktopGate;
        explicit Turn(DesktopGate* gate) : gate_(gate) {}
        DesktopGate* gate_;
    };

    class Entry {
    public:
        Entry(DesktopGate& gate, MainLoop& loop) : gate_(gate), loop_(loop) {}
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;
        ~Entry();

        bool await_ready();
        void await_suspend(std::coroutine_handle<> task);
        Turn await_resume() { return Turn{&gate_}; }

    private:
        friend class DesktopGate;
        enum class State { asking, waiting, granted, entered };

        DesktopGate& gate_;
        MainLoop& loop_;
        State state_ = State::asking;
        std::coroutine_handle<> task_;
        std::optional<TimerId> wake_; // set once granted, until the task runs again
    };

    DesktopGate() = default;
    DesktopGate(const DesktopGate&) = delete;
    DesktopGate& operator=(const DesktopGate&) = delete;

    // The process's one gate.
    static DesktopGate& shared();

    [[nodiscard]] Entry enter(MainLoop& loop) { return Entry{*this, loop}; }
    // Some operation has its turn now.
    bool isTaken() const { return taken_; }
    std::size_t waiting() const { return queue_.size(); }

private:
    // Hands the turn to the first in line, or frees the gate.
    void passOn();

    bool taken_ = false;
    std::deque<Entry*> queue_;
};

} // namespace qw
