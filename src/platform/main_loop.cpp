#include "platform/main_loop.h"

#include <algorithm>
#include <cassert>
#include <iterator>
#include <utility>

namespace qw {

MainLoop::MainLoop(std::unique_ptr<Clock> clock) : clock_(std::move(clock)), inbox_(std::make_shared<Inbox>())
{
    assert(clock_);
}

MainLoop::~MainLoop()
{
    // Tasks first, while the timers their sleeps withdraw still exist. A task may spawn or
    // schedule more as it unwinds; the loops below catch that too.
    while (!roots_.empty()) {
        const auto newest = std::prev(roots_.end());
        const std::coroutine_handle<> frame = newest->second;
        roots_.erase(newest);
        frame.destroy();
    }
    // Moved out first: a callback's captures may cancel timers as they are destroyed.
    auto timers = std::move(timers_);
    timers.clear();
    inbox_->close();
}

void MainLoop::post(Callback callback)
{
    inbox_->post(std::move(callback));
}

Reply MainLoop::expectReply()
{
    return Reply{inbox_};
}

TimerId MainLoop::after(Duration delay, Callback callback)
{
    return at(now() + std::max(delay, Duration::zero()), std::move(callback));
}

TimerId MainLoop::at(Duration when, Callback callback)
{
    assert(callback);
    const TimerId id{std::max(when, now()), nextTimer_++};
    timers_.emplace(id, std::move(callback));
    return id;
}

bool MainLoop::cancel(TimerId timer)
{
    return timers_.erase(timer) > 0;
}

void MainLoop::run()
{
    runLoop(std::nullopt, nullptr);
}

void MainLoop::runFor(Duration duration)
{
    runLoop(now() + duration, nullptr);
}

bool MainLoop::runUntil(const std::function<bool()>& done)
{
    return runLoop(std::nullopt, &done);
}

bool MainLoop::runLoop(std::optional<Duration> deadline, const std::function<bool()>* done)
{
    assert(!running_ && "the loop does not nest");
    running_ = true;
    struct Finish {
        MainLoop& loop;
        ~Finish()
        {
            loop.running_ = false;
            loop.stopRequested_ = false;
        }
    } finish{*this};

    for (;;) {
        if (done && (*done)())
            return true;
        if (stopRequested_)
            return false;

        if (Callback posted = inbox_->take()) {
            posted();
            continue;
        }

        const Duration now = clock_->now();
        const Duration horizon = deadline ? std::min(now, *deadline) : now;
        if (!timers_.empty() && timers_.begin()->first.due <= horizon) {
            // Taken out before it runs, so the callback may schedule and cancel freely.
            auto due = timers_.extract(timers_.begin());
            due.mapped()();
            continue;
        }
        if (deadline && now >= *deadline)
            return false;

        std::optional<Duration> wakeAt = deadline;
        if (!timers_.empty()) {
            const Duration next = timers_.begin()->first.due;
            wakeAt = deadline ? std::min(next, *deadline) : next;
        }
        if (wakeAt) {
            clock_->idleUntil(*wakeAt, *inbox_);
        } else if (inbox_->busy()) {
            inbox_->awaitPost(); // only a Reply can still bring work
        } else {
            return false;
        }
    }
}

void MainLoop::adopt(std::coroutine_handle<detail::Root::promise_type> root, detail::Cancellation& cancellation)
{
    detail::Root::promise_type& promise = root.promise();
    promise.setCancellation(cancellation);
    promise.loop = this;
    promise.id = nextRoot_++;
    roots_.emplace(promise.id, root);
    post([root] { root.resume(); });
}

void MainLoop::release(std::uint64_t root)
{
    const auto found = roots_.find(root);
    assert(found != roots_.end());
    const std::coroutine_handle<> frame = found->second;
    roots_.erase(found);
    frame.destroy();
}

void detail::Root::promise_type::Release::await_suspend(std::coroutine_handle<promise_type> root) const noexcept
{
    // Destroying the frame here is allowed: it is suspended, and nothing touches it afterwards.
    root.promise().loop->release(root.promise().id);
}

MainLoop::Sleep::~Sleep()
{
    if (timer_) {
        loop_.cancel(*timer_);
        cancellation_->wakeSleeper = nullptr;
    }
}

bool MainLoop::Sleep::suspend(std::coroutine_handle<> task, detail::Cancellation& cancellation)
{
    if (cancellation.requested) {
        reason_ = WakeReason::cancelled;
        return false;
    }
    task_ = task;
    cancellation_ = &cancellation;
    timer_ = loop_.after(duration_, [this] { wake(WakeReason::elapsed); });
    // Cancelling wakes the task through a timer due now rather than resuming it inside cancel(),
    // whose caller is in the middle of something else.
    cancellation.wakeSleeper = [this] {
        loop_.cancel(*timer_);
        timer_ = loop_.after(Duration::zero(), [this] { wake(WakeReason::cancelled); });
    };
    return true;
}

void MainLoop::Sleep::wake(WakeReason reason)
{
    timer_.reset();
    cancellation_->wakeSleeper = nullptr;
    reason_ = reason;
    task_.resume(); // last: the task may finish and destroy this Sleep
}

} // namespace qw
