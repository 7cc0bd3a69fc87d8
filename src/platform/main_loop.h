#pragma once

#include "platform/clock.h"
#include "platform/inbox.h"
#include "platform/task.h"
#include "platform/task_handle.h"

#include <compare>
#include <coroutine>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace qw {

class MainLoop;

// Names a scheduled timer, for cancelling it. Timers run in the order of these ids: by due time,
// then by the order they were scheduled. Ids are never reused, so cancelling a timer that has
// already fired or been cancelled is harmless.
struct TimerId {
    Duration due;
    std::uint64_t sequence = 0;
    auto operator<=>(const TimerId&) const = default;
};

// How a sleep ended.
enum class WakeReason { elapsed, cancelled };

namespace detail {

// The coroutine through which the loop owns a spawned task: it awaits the task, stores its outcome
// for the TaskHandle, and on finishing asks the loop to destroy its frame.
class Root {
public:
    struct promise_type : PromiseBase {
        MainLoop* loop = nullptr;
        std::uint64_t id = 0;

        Root get_return_object() noexcept { return Root{std::coroutine_handle<promise_type>::from_promise(*this)}; }
        std::suspend_always initial_suspend() const noexcept { return {}; }
        struct Release {
            bool await_ready() const noexcept { return false; }
            void await_suspend(std::coroutine_handle<promise_type> root) const noexcept;
            void await_resume() const noexcept {}
        };
        Release final_suspend() const noexcept { return {}; }
        void return_void() const noexcept {}
    };

    std::coroutine_handle<promise_type> frame;
};

} // namespace detail

// The one loop everything runs on. Callbacks and tasks run one at a time on the thread that calls
// run(); only post() and Replies may be used from other threads.
//
// Each turn runs the oldest posted callback; when none is posted, the earliest timer that is due;
// when nothing is due, the clock idles until the next timer (world time jumps there at once). The
// order is fully determined by what was posted and scheduled, so world runs are reproducible.
class MainLoop {
public:
    explicit MainLoop(std::unique_ptr<Clock> clock);
    // Destroys the tasks still suspended (newest first, each unwinding the tasks it awaits), then
    // drops pending timers and posts without running them.
    ~MainLoop();
    MainLoop(const MainLoop&) = delete;
    MainLoop& operator=(const MainLoop&) = delete;

    Duration now() const { return clock_->now(); }
    WallTime wallTime() const { return clock_->wallTime(); }

    // Runs `callback` soon, after what was posted before it and before any timer. Thread-safe.
    void post(Callback callback);
    // A promise, handed to another thread, that it will post back; see Reply.
    [[nodiscard]] Reply expectReply();

    // Runs `callback` once `delay` has passed (at once for a delay of zero or less, yet after the
    // timers already due).
    TimerId after(Duration delay, Callback callback);
    // Runs `callback` at time `when` since the start (or now, if that has passed).
    TimerId at(Duration when, Callback callback);
    // Whether the timer was still pending.
    bool cancel(TimerId timer);

    // Runs until no work is left: nothing posted, no timers, no Reply outstanding, no task that
    // could still wake. A task suspended on anything but the loop counts as no work.
    void run();
    // Runs every callback and timer due up to and at now() + duration, then leaves the clock at
    // exactly that instant (world time; real time waits for it).
    void runFor(Duration duration);
    // Runs until `done()` holds, checked before every turn, or no work is left. Returns `done()`.
    bool runUntil(const std::function<bool()>& done);
    // The loop's thread is held up for `duration` by a synchronous call that waits (an app that
    // does not answer): time passes and nothing runs; timers that fell due meanwhile run late.
    void holdUp(Duration duration) { clock_->holdUp(duration); }
    // Makes the current run call (or the next, if none is running) return after the callback
    // that is running. Loop thread only.
    void stop() { stopRequested_ = true; }

    // `co_await loop.sleep(d)` suspends a task for d through a timer of this loop. It ends early
    // when the task's tree is cancelled and then yields WakeReason::cancelled (at once, without
    // suspending, if it already was). A sleep of zero still lets other work run first.
    class Sleep;
    [[nodiscard]] Sleep sleep(Duration duration);

    // Hands `task` to the loop, which starts it on its next turn (after what is posted already)
    // and owns it until it finishes.
    template <typename T>
    TaskHandle<T> spawn(Task<T> task);

private:
    friend detail::Root::promise_type::Release;

    template <typename T>
    static detail::Root runSpawned(std::shared_ptr<detail::SpawnState<T>> state, Task<T> task);
    void adopt(std::coroutine_handle<detail::Root::promise_type> root, detail::Cancellation& cancellation);
    void release(std::uint64_t root);

    bool runLoop(std::optional<Duration> deadline, const std::function<bool()>* done);

    std::unique_ptr<Clock> clock_;
    std::shared_ptr<Inbox> inbox_;
    std::map<TimerId, Callback> timers_;
    std::uint64_t nextTimer_ = 0;
    std::map<std::uint64_t, std::coroutine_handle<>> roots_;
    std::uint64_t nextRoot_ = 0;
    bool running_ = false;
    bool stopRequested_ = false;
};

class MainLoop::Sleep {
public:
    Sleep(MainLoop& loop, Duration duration) : loop_(loop), duration_(duration) {}
    Sleep(const Sleep&) = delete;
    Sleep& operator=(const Sleep&) = delete;
    // A sleep destroyed while pending (its task's frame is being destroyed) withdraws its timer
    // and its claim on the tree's cancellation, so neither can reach the dead frame.
    ~Sleep();

    bool await_ready() const noexcept { return false; }
    template <detail::TaskPromise P>
    bool await_suspend(std::coroutine_handle<P> task)
    {
        return suspend(task, task.promise().cancellation());
    }
    WakeReason await_resume() const noexcept { return reason_; }

private:
    bool suspend(std::coroutine_handle<> task, detail::Cancellation& cancellation);
    void wake(WakeReason reason);

    MainLoop& loop_;
    Duration duration_;
    std::coroutine_handle<> task_;
    detail::Cancellation* cancellation_ = nullptr;
    std::optional<TimerId> timer_; // set while suspended
    WakeReason reason_ = WakeReason::elapsed;
};

inline MainLoop::Sleep MainLoop::sleep(Duration duration)
{
    return Sleep{*this, duration};
}

template <typename T>
TaskHandle<T> MainLoop::spawn(Task<T> task)
{
    auto state = std::make_shared<detail::SpawnState<T>>();
    detail::Root root = runSpawned(state, std::move(task));
    adopt(root.frame, *state);
    return TaskHandle<T>{std::move(state)};
}

template <typename T>
detail::Root MainLoop::runSpawned(std::shared_ptr<detail::SpawnState<T>> state, Task<T> task)
{
    // Moved into locals on purpose: should the loop destroy this frame while the task is suspended,
    // locals unwind in reverse order, so the task (whose pending sleep deregisters from the state)
    // goes before the state. Parameter copies promise no such order.
    const std::shared_ptr<detail::SpawnState<T>> keep = std::move(state);
    Task<T> body = std::move(task);
    if constexpr (std::is_void_v<T>) {
        co_await std::move(body);
        keep->finished = true;
    } else {
        keep->result.emplace(co_await std::move(body));
    }
}

} // namespace qw
