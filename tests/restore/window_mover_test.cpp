#include "restore/window_mover.h"

#include "platform/main_loop.h"
#include "system/simulated_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace qw {
namespace {

using testing::SimulatedWorld;
using WindowMover::Adjusted;
using WindowMover::Failed;
using WindowMover::Moved;
using WindowMover::Outcome;
namespace Names = platform::AXNames;

// One app, "Pages" (pid 100), with window 1 at [[100,100],[400,300]] on the shown desktop 11.
std::string worldWith(const std::string& behaviour, const std::string& extra = "", const std::string& spaces = "[11]") {
    return R"({)" + extra + R"("displays": [{"id": 1, "main": true, "frame": [[0, 0], [1440, 900]],
                   "spaces": [{"id": 11}, {"id": 12}], "currentSpace": 11}],
      "apps": [{"name": "Pages", "path": "/Applications/Pages.app", "pid": 100)" +
           (behaviour.empty() ? "" : ", " + behaviour) + R"(}],
      "windows": [{"id": 1, "pid": 100, "frame": [[100, 100], [400, 300]], "spaces": )" +
           spaces + R"(}]})";
}

// The window as the Inventory lists it.
WindowInfo listed(const Rect& frame = Rect(100, 100, 400, 300)) {
    WindowInfo w;
    w.id = 1;
    w.pid = 100;
    w.appName = "Pages";
    w.frame = frame;
    return w;
}

struct MoveCase {
    const char* name;
    std::string behaviour;
    Rect target;
    Outcome expected;
    std::string extra = "";     // members before "displays"
    std::string spaces = "[11]"; // of the window
};

class WindowMoverOutcomeTest : public ::testing::TestWithParam<MoveCase> {};

const Rect target(200, 150, 600, 500);

TEST_P(WindowMoverOutcomeTest, SaysWhereTheWindowWentAndWhy) {
    const MoveCase& c = GetParam();
    SimulatedWorld world(worldWith(c.behaviour, c.extra, c.spaces));
    const bool enhanced = world.world().apps[0].behaviour.enhancedUserInterface;

    EXPECT_EQ(WindowMover::move(world.platform().accessibility, listed(), c.target), c.expected);
    // Enhanced user interface is back on after every outcome.
    EXPECT_EQ(world.world().apps[0].behaviour.enhancedUserInterface, enhanced);
}

INSTANTIATE_TEST_SUITE_P(
    Behaviours, WindowMoverOutcomeTest,
    ::testing::Values(
        MoveCase{"WellBehaved", "", target, Moved{target}},
        MoveCase{"NoTrust", "", target, Failed{"Accessibility permission is off"}, R"("accessibility": false, )"},
        MoveCase{"OnAnotherDesktop", "", target,
                 Failed{"Pages didn't expose this window (it may be on another desktop)"}, "", "[12]"},
        MoveCase{"NotResponding", R"("notResponding": true)", target,
                 Failed{"Pages didn't expose this window (it may be on another desktop)"}},
        MoveCase{"RefusesAsNotResponding", R"("refusesMove": -25204)", target,
                 Failed{"Pages refused the move (app not responding)"}},
        MoveCase{"RefusesAsUnsupported", R"("refusesMove": -25205)", target,
                 Failed{"Pages refused the move (not supported)"}},
        MoveCase{"RefusesAsNotImplemented", R"("refusesMove": -25208)", target,
                 Failed{"Pages refused the move (not implemented)"}},
        MoveCase{"RefusesAsAPIDisabled", R"("refusesMove": -25211)", target,
                 Failed{"Pages refused the move (Accessibility off)"}},
        MoveCase{"RefusesWithAnInvalidElement", R"("refusesMove": -25202)", target,
                 Failed{"Pages refused the move (AX error -25202)"}},
        MoveCase{"RefusesWithAFailure", R"("refusesMove": -25200, "enhancedUserInterface": true)", target,
                 Failed{"Pages refused the move (AX error -25200)"}},
        MoveCase{"Offset", R"("offset": [3.7, 0])", target,
                 Adjusted{target, Rect(203.7, 150, 600, 500), "Pages ended up at 203, 150"}},
        MoveCase{"OffsetWithinTolerance", R"("offset": [2, -2])", target, Moved{Rect(202, 148, 600, 500)}},
        MoveCase{"MaxSize", R"("maxSize": [300.5, 450])", target,
                 Adjusted{target, Rect(200, 150, 300.5, 450), "Pages kept a size of 300×450"}},
        MoveCase{"FixedSize", R"("fixedSize": true, "offset": [50, 50])", target,
                 Adjusted{target, Rect(250, 200, 400, 300), "Pages has a fixed size, so it was moved but not resized"}},
        // Within a point of the listed size, no resize is asked for, so a fixed size is no excuse.
        MoveCase{"FixedSizeAlreadyRight", R"("fixedSize": true, "offset": [50, 50])", Rect(200, 150, 401, 299),
                 Adjusted{Rect(200, 150, 401, 299), Rect(250, 200, 400, 300), "Pages ended up at 250, 200"}},
        MoveCase{"FixedSizeOnePointOff", R"("fixedSize": true)", Rect(200, 150, 401, 301), Moved{Rect(200, 150, 400, 300)}},
        MoveCase{"HidesWindows", R"("hidesWindows": true)", target, Moved{target}},
        MoveCase{"EnhancedUserInterface", R"("enhancedUserInterface": true)", target, Moved{target}},
        MoveCase{"EnhancedUserInterfaceAdjusted", R"("enhancedUserInterface": true, "maxSize": [500, 500])", target,
                 Adjusted{target, Rect(200, 150, 500, 500), "Pages kept a size of 500×500"}},
        MoveCase{"SnapsBackLater", R"("snapsBack": true)", target, Moved{target}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowMoverTest, AHungAppCostsAboutASecondPerCall) {
    SimulatedWorld world(worldWith(R"("notResponding": true)"));
    const Duration start = world.loop().now();
    WindowMover::move(world.platform().accessibility, listed(), target);
    // "AXWindows", "AXChildren", "AXFocusedWindow", "AXMainWindow": each waits out the timeout.
    EXPECT_EQ(world.loop().now() - start, fromSeconds(4 * WindowMover::messagingTimeout));
}

TEST(WindowMoverTest, EnhancedUserInterfaceIsOffDuringTheMoveSoTheSizeLandsExactly) {
    SimulatedWorld world(worldWith(R"("enhancedUserInterface": true)"));
    auto& ax = world.platform().accessibility;
    // Set directly, with the animation on, the size would be caught halfway.
    EXPECT_EQ(WindowMover::move(ax, listed(), target), Outcome{Moved{target}});
    EXPECT_TRUE(world.world().apps[0].behaviour.enhancedUserInterface);
}

TEST(WindowMoverTest, FrameAndBoolReadsToleratePoorReplies) {
    SimulatedWorld world(worldWith(""));
    auto& ax = world.platform().accessibility;
    const auto app = WindowMover::applicationElement(ax, 100);
    const auto window = WindowMover::element(ax, 1, app);
    ASSERT_TRUE(window);
    EXPECT_EQ(WindowMover::frame(ax, *window), Rect(100, 100, 400, 300));
    EXPECT_EQ(WindowMover::frame(ax, app), std::nullopt);                 // an app has no frame
    EXPECT_FALSE(WindowMover::boolAttribute(ax, *window, Names::title)); // a string, not a Boolean
    EXPECT_FALSE(WindowMover::boolAttribute(ax, app, "AXNoSuchThing"));
    EXPECT_EQ(WindowMover::element(ax, 2, app), std::nullopt);
}

TEST(WindowMoverTest, ClosesRaisesAndMinimizesThroughTheWindowsElement) {
    SimulatedWorld world(R"({
      "apps": [{"name": "Pages", "path": "/Applications/Pages.app", "pid": 100, "hidden": true},
               {"name": "Kiosk", "path": "/Applications/Kiosk.app", "pid": 200,
                "titleBar": [{"role": "AXStaticText", "frame": [[100, 5], [200, 16]]}]}],
      "windows": [{"id": 2, "pid": 200, "frame": [[0, 25], [400, 300]]},
                  {"id": 1, "pid": 100, "frame": [[100, 100], [400, 300]]},
                  {"id": 3, "pid": 100, "frame": [[500, 100], [400, 300]]}]})");
    const platform::Platform platform = world.platform();

    WindowMover::raise(platform, 100, 3);
    EXPECT_EQ(world.world().windows.front().id, 3u);
    EXPECT_FALSE(world.world().apps[0].hidden); // activated

    EXPECT_EQ(WindowMover::setMinimized(platform.accessibility, 100, 1, true), platform::AXError::success);
    EXPECT_TRUE(sim::findWindow(world.world(), 1)->minimized);
    EXPECT_EQ(WindowMover::setMinimized(platform.accessibility, 100, 99, true), std::nullopt);

    WindowInfo kiosk = listed();
    kiosk.id = 2;
    kiosk.pid = 200;
    EXPECT_FALSE(WindowMover::close(platform.accessibility, kiosk)); // no close button
    EXPECT_NE(sim::findWindow(world.world(), 2), nullptr);

    WindowInfo pages = listed();
    pages.id = 3;
    EXPECT_TRUE(WindowMover::close(platform.accessibility, pages));
    EXPECT_EQ(sim::findWindow(world.world(), 3), nullptr);
}

} // namespace
} // namespace qw
