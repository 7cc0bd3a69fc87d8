#pragma once

#include "platform/task.h"

#include <cassert>
#include <memory>
#include <optional>
#include <type_traits>

namespace qw {

namespace detail {

// A spawned tree's cancellation plus the outcome its spawner reads.
template <typename T>
struct SpawnState : Cancellation {
    std::optional<T> result;
    bool done() const { return result.has_value(); }
};

template <>
struct SpawnState<void> : Cancellation {
    bool finished = false;
    bool done() const { return finished; }
};

} // namespace detail

// The spawner's view of a task the loop runs: ask it to stop, learn whether it has finished and
// what it returned. Copies share the same task. It stays valid after the task has finished and
// after the loop is gone (a task whose loop was destroyed never finishes). Loop thread only.
template <typename T = void>
class TaskHandle {
public:
    TaskHandle() = default;
    explicit TaskHandle(std::shared_ptr<detail::SpawnState<T>> state) : state_(std::move(state)) {}

    // Asks the task to stop: `co_await isCancelled()` turns true in every task of its tree, and a
    // sleep, pending or future, ends at once and reports the cancellation. The task decides how to
    // wind up. Does nothing once the task has finished.
    void cancel() const
    {
        if (state_ && !state_->done())
            state_->request();
    }
    bool isCancelled() const { return state_ && state_->requested; }
    bool isDone() const { return state_ && state_->done(); }

    // What the task returned; empty until it has finished.
    const auto& result() const
        requires(!std::is_void_v<T>)
    {
        assert(state_);
        return state_->result;
    }

private:
    std::shared_ptr<detail::SpawnState<T>> state_;
};

} // namespace qw
