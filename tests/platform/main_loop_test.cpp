#include "platform/main_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qw {
namespace {

using namespace std::chrono_literals;

const WallTime kStart = std::chrono::sys_days{std::chrono::year{2026} / 1 / 31} + 9h;

class WorldLoop : public testing::Test {
protected:
    MainLoop loop{std::make_unique<WorldClock>(kStart)};
    std::vector<std::string> log;

    Callback note(std::string name)
    {
        return [this, name] {
            char at[32];
            std::snprintf(at, sizeof at, "@%.1f", toSeconds(loop.now()));
            log.push_back(name + at);
        };
    }
};

TEST_F(WorldLoop, RunsPostsFirstThenTimersByDueTimeThenSchedulingOrder)
{
    loop.after(0s, note("e"));
    loop.after(2s, note("a"));
    loop.after(1s, note("b"));
    loop.after(2s, note("c"));
    loop.after(1s, [this] {
        note("d")();
        loop.after(1s, note("g")); // due with a and c, scheduled after them
        loop.after(0s, note("z")); // due now, after everything already due now
        loop.post(note("p"));      // posted work goes before any timer
    });
    loop.post(note("q"));

    loop.run();

    EXPECT_EQ(log, (std::vector<std::string>{"q@0.0", "e@0.0", "b@1.0", "d@1.0", "p@1.0", "z@1.0", "a@2.0", "c@2.0",
                                             "g@2.0"}));
}

TEST_F(WorldLoop, RunForFiresEverythingDueUpToTheDeadlineAndStopsExactlyThere)
{
    loop.after(1s, note("one"));
    loop.after(2s, [this] {
        note("two")();
        loop.after(0s, note("two-again")); // due at the deadline itself, so it runs too
    });
    loop.after(2s + 1ns, note("late"));

    loop.runFor(2s);
    EXPECT_EQ(log, (std::vector<std::string>{"one@1.0", "two@2.0", "two-again@2.0"}));
    EXPECT_EQ(loop.now(), 2s);
    EXPECT_EQ(loop.wallTime(), kStart + 2s);

    loop.runFor(0s);
    EXPECT_EQ(log.size(), 3U);

    loop.run();
    EXPECT_EQ(log.back(), "late@2.0");
    EXPECT_EQ(loop.now(), 2s + 1ns);

    // With nothing scheduled world time still moves to the end of the span, exactly.
    loop.runFor(fromSeconds(0.1));
    loop.runFor(fromSeconds(0.2));
    EXPECT_EQ(loop.now(), 2300ms + 1ns);
}

TEST_F(WorldLoop, CancelledTimerNeitherRunsNorKeepsTheLoopGoing)
{
    const TimerId kept = loop.after(1s, note("kept"));
    const TimerId dropped = loop.after(5s, note("dropped"));

    EXPECT_TRUE(loop.cancel(dropped));
    EXPECT_FALSE(loop.cancel(dropped));
    loop.run();

    EXPECT_EQ(log, std::vector<std::string>{"kept@1.0"});
    EXPECT_EQ(loop.now(), 1s);
    EXPECT_FALSE(loop.cancel(kept)); // already fired
}

struct DebounceCase {
    std::vector<Duration> events;
    std::vector<Duration> fired;
};

class Debounce : public WorldLoop, public testing::WithParamInterface<DebounceCase> {};

// The automatic restorer's pattern: every display change restarts a 3-second timer.
TEST_P(Debounce, FiresThreeSecondsAfterTheLastEventOfABurst)
{
    std::optional<TimerId> pending;
    std::vector<Duration> fired;
    for (Duration at : GetParam().events) {
        loop.at(at, [&] {
            if (pending)
                loop.cancel(*pending);
            pending = loop.after(3s, [&] {
                pending.reset();
                fired.push_back(loop.now());
            });
        });
    }

    loop.run();

    EXPECT_EQ(fired, GetParam().fired);
}

INSTANTIATE_TEST_SUITE_P(Bursts, Debounce,
                         testing::Values(DebounceCase{{0s}, {3s}}, DebounceCase{{0s, 1s, 2500ms}, {5500ms}},
                                         DebounceCase{{0s, 3001ms}, {3s, 6001ms}},
                                         // Due with the timer but scheduled before it, the event runs
                                         // first and restarts it.
                                         DebounceCase{{0s, 3s}, {6s}}));

TEST_F(WorldLoop, StopEndsTheRunAfterTheCurrentCallbackAndRunCarriesOnLater)
{
    loop.after(1s, [this] {
        note("stop")();
        loop.stop();
    });
    loop.after(1s, note("next"));

    loop.run();
    EXPECT_EQ(log, std::vector<std::string>{"stop@1.0"});

    loop.run();
    EXPECT_EQ(log.back(), "next@1.0");
}

TEST_F(WorldLoop, RunUntilStopsOnceThePredicateHoldsEvenWithTimersLeft)
{
    bool ready = false;
    loop.after(2s, [&] { ready = true; });
    loop.after(1h, note("timeline"));

    EXPECT_TRUE(loop.runUntil([&] { return ready; }));
    EXPECT_EQ(loop.now(), 2s);

    EXPECT_FALSE(loop.runUntil([] { return false; }));
    EXPECT_EQ(log, std::vector<std::string>{"timeline@3600.0"});
}

TEST_F(WorldLoop, WorldTimeStandsStillWhileAnotherThreadOwesAReply)
{
    loop.after(10s, note("timer"));
    Reply reply = loop.expectReply();
    std::thread scan([this, reply = std::move(reply)]() mutable { std::move(reply).post(note("scanned")); });

    loop.run();
    scan.join();

    EXPECT_EQ(log, (std::vector<std::string>{"scanned@0.0", "timer@10.0"}));
}

TEST_F(WorldLoop, DroppingAReplyReleasesTheLoop)
{
    Reply reply = loop.expectReply();
    std::thread failed([reply = std::move(reply)] {});
    loop.run(); // returns once the thread has dropped its reply
    failed.join();
    EXPECT_EQ(loop.now(), 0s);
}

TEST(Seconds, ConvertWithoutDrift)
{
    EXPECT_EQ(fromSeconds(0.25), 250ms);
    EXPECT_EQ(fromSeconds(0.1) * 3, 300ms);
    EXPECT_EQ(fromSeconds(0.4), 400ms);
    EXPECT_EQ(fromSeconds(20.0), 20s);
    EXPECT_DOUBLE_EQ(toSeconds(80 * fromSeconds(0.25)), 20.0);
}

// The only real waits in the tests: a few milliseconds each.
TEST(RealLoop, TimerFiresAfterAShortRealWait)
{
    MainLoop loop{std::make_unique<RealClock>()};
    const auto wallBefore = std::chrono::system_clock::now();
    std::optional<Duration> firedAt;
    loop.after(5ms, [&] { firedAt = loop.now(); });

    loop.run();

    ASSERT_TRUE(firedAt);
    EXPECT_GE(*firedAt, 5ms);
    EXPECT_GE(loop.wallTime(), wallBefore + 5ms);
}

TEST(RealLoop, RunWaitsForAReplyFromAnotherThread)
{
    MainLoop loop{std::make_unique<RealClock>()};
    bool scanned = false;
    std::thread scan([&, reply = loop.expectReply()]() mutable { std::move(reply).post([&] { scanned = true; }); });

    loop.run();
    scan.join();

    EXPECT_TRUE(scanned);
}

TEST(RealLoop, APostFromAnotherThreadCutsAWaitForATimerShort)
{
    MainLoop loop{std::make_unique<RealClock>()};
    const TimerId far = loop.after(1h, [] {});
    std::thread poster([&] { loop.post([&] { loop.cancel(far); }); });

    loop.run(); // would hang for an hour if the post did not wake the loop
    poster.join();

    EXPECT_LT(loop.now(), 1h);
}

} // namespace
} // namespace qw
