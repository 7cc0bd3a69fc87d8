#include "desktops/desktop_gate.h"

#include "platform/clock.h"
#include "platform/main_loop.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace qw {
namespace {

Task<void> holdFor(MainLoop& loop, DesktopGate& gate, std::string name, Duration hold, std::string& log) {
    const DesktopGate::Turn turn = co_await gate.enter(loop);
    log += name + "<";
    co_await loop.sleep(hold);
    log += ">" + name + " ";
}

TEST(DesktopGate, OneOperationAtATimeInTheOrderTheyCame) {
    MainLoop loop(std::make_unique<WorldClock>(WallTime{}));
    DesktopGate gate;
    std::string log;
    loop.spawn(holdFor(loop, gate, "a", std::chrono::seconds(2), log));
    loop.spawn(holdFor(loop, gate, "b", std::chrono::seconds(1), log));
    loop.spawn(holdFor(loop, gate, "c", std::chrono::seconds(1), log));
    loop.runFor(std::chrono::milliseconds(10));
    EXPECT_TRUE(gate.isTaken());
    EXPECT_EQ(gate.waiting(), 2u);
    loop.run();
    EXPECT_EQ(log, "a<>a b<>b c<>c ");
    EXPECT_EQ(loop.now(), std::chrono::seconds(4));
    EXPECT_FALSE(gate.isTaken());
}

TEST(DesktopGate, ATaskDestroyedWhileWaitingOrHoldingGivesWayToTheNext) {
    DesktopGate gate;
    std::string log;
    {
        MainLoop loop(std::make_unique<WorldClock>(WallTime{}));
        loop.spawn(holdFor(loop, gate, "a", std::chrono::seconds(5), log));
        loop.spawn(holdFor(loop, gate, "b", std::chrono::seconds(5), log));
        loop.runFor(std::chrono::seconds(1));
        EXPECT_EQ(gate.waiting(), 1u);
    } // the loop goes, and with it both tasks
    EXPECT_FALSE(gate.isTaken());
    EXPECT_EQ(gate.waiting(), 0u);

    MainLoop loop(std::make_unique<WorldClock>(WallTime{}));
    loop.spawn(holdFor(loop, gate, "c", std::chrono::seconds(1), log));
    loop.run();
    EXPECT_EQ(log, "a<c<>c ");
}

} // namespace
} // namespace qw
