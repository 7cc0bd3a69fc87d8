#pragma once

#include <cassert>
#include <concepts>
#include <coroutine>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

namespace qw {

template <typename T = void>
class Task;

namespace detail {

// Shared by every task of one spawned tree (the spawned task and the tasks it awaits, however
// deep) and by the TaskHandle its spawner holds.
struct Cancellation {
    bool requested = false;
    // Set while a task of the tree sleeps, to cut the sleep short. One slot suffices: a task waits
    // for the task it awaits, so at most one task of a tree is asleep at a time.
    std::function<void()> wakeSleeper;

    void request();
};

// What every promise here carries, so awaiters can find the cancellation of the awaiting task.
class PromiseBase {
public:
    Cancellation& cancellation() const noexcept
    {
        assert(cancellation_ && "a task runs only when awaited or spawned");
        return *cancellation_;
    }
    void setCancellation(Cancellation& cancellation) noexcept { cancellation_ = &cancellation; }

    // Failures travel as values, so an exception leaving a task body is a bug. Stopping at once
    // with what was thrown keeps it from resurfacing in an unrelated caller far from its cause.
    [[noreturn]] void unhandled_exception() noexcept;

private:
    Cancellation* cancellation_ = nullptr;
};

template <typename P>
concept TaskPromise = std::derived_from<P, PromiseBase>;

class TaskPromiseBase : public PromiseBase {
public:
    std::suspend_always initial_suspend() const noexcept { return {}; }

    struct FinalAwaiter {
        const TaskPromiseBase& promise;
        bool await_ready() const noexcept { return false; }
        // Finished while the awaiting task is still starting it: control just returns there.
        // Finished later, woken by the loop: hand control to the awaiting task by symmetric
        // transfer.
        std::coroutine_handle<> await_suspend(std::coroutine_handle<>) const noexcept
        {
            if (promise.startingInline_)
                return std::noop_coroutine();
            return promise.continuation_;
        }
        void await_resume() const noexcept {}
    };
    FinalAwaiter final_suspend() const noexcept { return {*this}; }

    // Runs the task (`self`) until it first suspends, to resume `awaiting` when it finishes.
    // Returns whether it has already finished.
    //
    // Started by a nested call rather than by symmetric transfer: GCC makes the transfer a tail
    // call only when optimising without sanitizers, so a loop of awaits that finish at once would
    // grow the stack on every pass. This way each such await has unwound before the next begins;
    // only nesting costs stack, as recursion does.
    bool start(std::coroutine_handle<> self, std::coroutine_handle<> awaiting)
    {
        continuation_ = awaiting;
        startingInline_ = true;
        self.resume();
        if (self.done())
            return true;
        startingInline_ = false;
        return false;
    }

private:
    std::coroutine_handle<> continuation_;
    bool startingInline_ = false;
};

template <typename T>
class Promise final : public TaskPromiseBase {
public:
    Task<T> get_return_object() noexcept;
    void return_value(T value) { result_.emplace(std::move(value)); }
    T takeResult()
    {
        assert(result_);
        return std::move(*result_);
    }

private:
    std::optional<T> result_;
};

template <>
class Promise<void> final : public TaskPromiseBase {
public:
    Task<void> get_return_object() noexcept;
    void return_void() const noexcept {}
    void takeResult() const noexcept {}
};

} // namespace detail

// An operation on the main loop that may suspend (sleep, await other tasks) and ends with a T.
//
// Tasks are lazy: calling a coroutine that returns a Task runs none of its body. The body runs
// when the task is awaited (at once, up to its first suspension) or when it is spawned on a
// MainLoop (on the loop's next turn). Awaiting consumes the task and gives its value:
//     int n = co_await countWindows(loop);   or   co_await std::move(pending);
// A Task owns its coroutine frame; destroying one that never ran frees the frame. Spawning hands
// the frame to the loop, which keeps it until the task finishes or the loop is destroyed.
//
// Cancellation is cooperative: see TaskHandle::cancel, `co_await isCancelled()` and the wake
// reason of MainLoop::sleep. A body that lets an exception escape stops the process with a message
// naming it; failures are to be returned as values.
//
// Because the body may run after the call returns, a task keeps references to its arguments for as
// long as it runs: take by value what may not outlive it (the MainLoop may be taken by reference;
// it outlives its tasks).
template <typename T>
class [[nodiscard]] Task {
    static_assert(!std::is_reference_v<T>, "a task returns a value");

public:
    using promise_type = detail::Promise<T>;

    Task(Task&& other) noexcept : frame_(std::exchange(other.frame_, {})) {}
    Task& operator=(Task&& other) noexcept
    {
        if (this != &other) {
            if (frame_)
                frame_.destroy();
            frame_ = std::exchange(other.frame_, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task()
    {
        if (frame_)
            frame_.destroy();
    }

    // Owns the awaited frame from here on: if the awaiting task is destroyed while it waits (its
    // loop went away), the awaited task goes with it.
    class Awaiter {
    public:
        explicit Awaiter(std::coroutine_handle<promise_type> frame) noexcept : frame_(frame) {}
        Awaiter(Awaiter&& other) noexcept : frame_(std::exchange(other.frame_, {})) {}
        Awaiter& operator=(Awaiter&&) = delete;
        ~Awaiter()
        {
            if (frame_)
                frame_.destroy();
        }

        bool await_ready() const noexcept { return false; }

        // The awaited task joins the awaiting task's tree, so cancelling the tree reaches it. The
        // awaiting task goes on at once if the awaited one finished without suspending.
        template <detail::TaskPromise P>
        bool await_suspend(std::coroutine_handle<P> awaiting)
        {
            promise_type& promise = frame_.promise();
            promise.setCancellation(awaiting.promise().cancellation());
            return !promise.start(frame_, awaiting);
        }

        T await_resume() { return frame_.promise().takeResult(); }

    private:
        std::coroutine_handle<promise_type> frame_;
    };

    Awaiter operator co_await() && noexcept
    {
        assert(frame_ && "a task is awaited at most once");
        return Awaiter{std::exchange(frame_, {})};
    }

private:
    friend promise_type;
    explicit Task(std::coroutine_handle<promise_type> frame) noexcept : frame_(frame) {}

    std::coroutine_handle<promise_type> frame_;
};

template <typename T>
Task<T> detail::Promise<T>::get_return_object() noexcept
{
    return Task<T>{std::coroutine_handle<Promise>::from_promise(*this)};
}

inline Task<void> detail::Promise<void>::get_return_object() noexcept
{
    return Task<void>{std::coroutine_handle<Promise>::from_promise(*this)};
}

// `co_await isCancelled()`: whether the task's tree has been asked to stop. Never suspends.
class IsCancelled {
public:
    bool await_ready() const noexcept { return false; }
    template <detail::TaskPromise P>
    bool await_suspend(std::coroutine_handle<P> task) noexcept
    {
        answer_ = task.promise().cancellation().requested;
        return false; // carry on at once
    }
    bool await_resume() const noexcept { return answer_; }

private:
    bool answer_ = false;
};

[[nodiscard]] inline IsCancelled isCancelled() noexcept
{
    return {};
}

} // namespace qw
