#include "platform/clock.h"

#include "platform/inbox.h"

#include <algorithm>
#include <thread>

namespace qw {

Duration fromSeconds(double seconds)
{
    return std::chrono::round<Duration>(std::chrono::duration<double>(seconds));
}

double toSeconds(Duration d)
{
    return std::chrono::duration<double>(d).count();
}

void WorldClock::idleUntil(Duration deadline, Inbox& inbox)
{
    // Work on another thread takes no world time: while a reply is owed (or has just arrived) the
    // clock stands still and the loop waits for it in real time, so the reply lands at the same
    // world instant on every run.
    if (inbox.busy()) {
        inbox.awaitPost();
        return;
    }
    now_ = std::max(now_, deadline);
}

RealClock::RealClock() : Clock(std::chrono::system_clock::now()), start_(std::chrono::steady_clock::now()) {}

Duration RealClock::now() const
{
    return std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now() - start_);
}

void RealClock::holdUp(Duration duration)
{
    if (duration > Duration::zero())
        std::this_thread::sleep_for(duration);
}

void RealClock::idleUntil(Duration deadline, Inbox& inbox)
{
    inbox.awaitPostUntil(start_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(deadline));
}

} // namespace qw
