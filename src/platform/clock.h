#pragma once

#include <algorithm>
#include <chrono>

namespace qw {

class Inbox;

// Time on the main loop, counted from the loop's start. Whole nanoseconds, so world time adds up
// exactly: eighty polls of 250 ms end at 20 s, on every run and every machine.
using Duration = std::chrono::nanoseconds;
using WallTime = std::chrono::system_clock::time_point;

// Seconds as world files and printed reports write them, rounded to the nearest nanosecond.
Duration fromSeconds(double seconds);
double toSeconds(Duration d);

// The main loop's source of time. Two kinds stand behind it: world time for the simulated Mac,
// which moves only when the loop has nothing to run, and real time for the app.
class Clock {
public:
    explicit Clock(WallTime wallStart) : wallStart_(wallStart) {}
    virtual ~Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;

    // Time since the loop started.
    virtual Duration now() const = 0;

    // The wall clock: its reading at the start plus the time since.
    WallTime wallTime() const { return wallStart_ + std::chrono::duration_cast<WallTime::duration>(now()); }

    // Lets time pass until `deadline` or until a callback is posted to `inbox`, whichever comes
    // first. May return early; the loop looks again at what is due and calls again.
    virtual void idleUntil(Duration deadline, Inbox& inbox) = 0;

    // Lets `duration` go by while the loop's thread is held up in a synchronous call (an app that
    // does not answer its Accessibility messages). Nothing runs meanwhile.
    virtual void holdUp(Duration duration) = 0;

private:
    WallTime wallStart_;
};

// Simulated time: a wait costs nothing real, because when nothing is ready to run the clock jumps
// straight to the deadline. Only the loop moves it.
class WorldClock final : public Clock {
public:
    explicit WorldClock(WallTime wallStart) : Clock(wallStart) {}

    Duration now() const override { return now_; }
    void idleUntil(Duration deadline, Inbox& inbox) override;
    void holdUp(Duration duration) override { now_ += std::max(duration, Duration::zero()); }

private:
    Duration now_{0};
};

// The machine's monotonic clock; wall time follows it from the wall reading at construction, so a
// change of the system date does not make timers jump.
class RealClock final : public Clock {
public:
    RealClock();

    Duration now() const override;
    void idleUntil(Duration deadline, Inbox& inbox) override;
    void holdUp(Duration duration) override;

private:
    std::chrono::steady_clock::time_point start_;
};

} // namespace qw
