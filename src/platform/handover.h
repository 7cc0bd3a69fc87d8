#pragma once

#include "platform/task.h"

#include <coroutine>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace qw {

// A value that another part hands over later through a callback (a completion handler), awaited
// by a task: give receiver() to the producer, then `T value = co_await handover;`. The receiver
// must be called at most once, on the loop's thread; if it was called already, the await goes on
// at once. Should the awaiting task be destroyed while it waits, a later call only stores the value.
//
// The awaiting task resumes inside the receiver's call, so the producer should call it from a
// callback of the loop (a posted one), not in the middle of other work.
template <typename T>
class Handover {
public:
    Handover() : state_(std::make_shared<State>()) {}
    Handover(const Handover&) = delete;
    Handover& operator=(const Handover&) = delete;
    ~Handover() { state_->waiter = {}; }

    std::function<void(T)> receiver() const {
        return [state = state_](T value) {
            state->value.emplace(std::move(value));
            if (const auto waiter = std::exchange(state->waiter, {})) waiter.resume();
        };
    }

    bool await_ready() const noexcept { return state_->value.has_value(); }
    template <detail::TaskPromise P>
    void await_suspend(std::coroutine_handle<P> task) noexcept {
        state_->waiter = task;
    }
    T await_resume() { return std::move(*state_->value); }

private:
    struct State {
        std::optional<T> value;
        std::coroutine_handle<> waiter;
    };
    std::shared_ptr<State> state_;
};

} // namespace qw
