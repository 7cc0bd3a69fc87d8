#include "desktops/title_bar_spot.h"

#include "desktops/desktop_world.h"

#include <gtest/gtest.h>

#include <string>

namespace qw {
namespace {

using platform::AXElement;
using testing::DesktopWorld;

// A plain window 1000 points wide, one too narrow to hold, one whose title bar shows every kind of
// element (with a web area, harmless and harmful groups, and a stack of sixteen nested groups), and
// one whose bare bar reports the role "AXUnknown".
std::string spotWorld() {
    std::string nested;
    for (int k = 0; k < 16; ++k)
        nested += R"(, {"role": "AXGroup", "frame": [[)" + std::to_string(400 + k) + ", " + std::to_string(k) + "], [" +
                  std::to_string(190 - 2 * k) + ", " + std::to_string(40 - 2 * k) + "]]}";
    return R"({
      "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [2560, 1440]], "spaces": [{"id": 11}]}],
      "apps": [
        {"name": "Plain", "path": "/Applications/Plain.app", "running": true, "pid": 100},
        {"name": "Narrow", "path": "/Applications/Narrow.app", "running": true, "pid": 200},
        {"name": "Widgets", "path": "/Applications/Widgets.app", "running": true, "pid": 300,
         "titleBar": [{"role": "AXWebArea", "frame": [[600, 0], [300, 40]]},
                      {"role": "AXStaticText", "frame": [[610, 5], [50, 10]]},
                      {"role": "AXGroup", "frame": [[700, 5], [50, 10]]},
                      {"role": "AXGroup", "frame": [[100, 5], [60, 20]], "actions": ["AXShowMenu"]},
                      {"role": "AXGroup", "frame": [[200, 5], [60, 20]], "actions": ["AXShowMenu", "AXPress"]},
                      {"role": "AXToolbar", "frame": [[300, 0], [90, 40]]},
                      {"role": "AXButton", "frame": [[320, 5], [20, 20]], "actions": ["AXPress"]})" +
           nested + R"(]},
        {"name": "Odd", "path": "/Applications/Odd.app", "running": true, "pid": 400,
         "titleBar": [{"role": "AXUnknown", "frame": [[0, 0], [600, 28]]}]}
      ],
      "windows": [
        {"id": 1, "pid": 100, "frame": [[100, 100], [1000, 400]], "spaces": [11]},
        {"id": 2, "pid": 200, "frame": [[1200, 100], [120, 300]], "spaces": [11]},
        {"id": 3, "pid": 300, "frame": [[0, 600], [1000, 300]], "spaces": [11]},
        {"id": 4, "pid": 400, "frame": [[1400, 600], [600, 300]], "spaces": [11]}
      ]
    })";
}

class TitleBarSpot : public ::testing::Test {
protected:
    WindowInfo listed(WindowID id) {
        world.inventory.refresh();
        for (const WindowInfo& w : world.inventory.windows())
            if (w.id == id) return w;
        ADD_FAILURE() << "window " << id << " is not listed";
        return {};
    }
    AXElement hit(Point p) {
        auto& ax = world.platform().accessibility;
        const auto found = ax.copyElementAtPosition(ax.createSystemWide(), p);
        EXPECT_TRUE(found) << p.x << ", " << p.y;
        return found ? *found : AXElement{};
    }

    DesktopWorld world{spotWorld()};
};

TEST_F(TitleBarSpot, WhatIsSafeToHold) {
    struct Case {
        const char* what;
        Point relative; // to window 3
        bool safe;
    };
    const Case cases[] = {
        {"the bare bar: the window", {50, 10}, true},
        {"static text inside a web area: the role decides", {620, 10}, true},
        {"a group inside a web area", {720, 10}, false},
        {"the web area itself", {800, 30}, false},
        {"a group that only shows a menu, in the window", {120, 10}, true},
        {"a group that also presses", {220, 10}, false},
        {"a toolbar", {380, 30}, true},
        {"a button on the toolbar", {325, 10}, false},
        {"a group fifteen parents below the window", {414.5, 14.5}, true},
        {"a group whose fifteen parents are all groups", {420, 18}, false},
    };
    auto& ax = world.platform().accessibility;
    for (const Case& c : cases)
        EXPECT_EQ(SpaceMover::isSafeToHold(ax, hit({c.relative.x, 600 + c.relative.y})), c.safe) << c.what;
}

TEST_F(TitleBarSpot, GrabPointTriesTheMiddleFirstAndNeedsRoomForCandidates) {
    auto& ax = world.platform().accessibility;
    EXPECT_EQ(SpaceMover::grabPoint(ax, listed(1)), (Point{600, 110}));
    // 0.5 × 120 is closer than 90 points to the left edge, and so is every other fraction.
    EXPECT_EQ(SpaceMover::grabPoint(ax, listed(2)), std::nullopt);
    // Window 3's middle is the tenth of the nested groups, whose walk up meets the window in time.
    EXPECT_EQ(SpaceMover::grabPoint(ax, listed(3)), (Point{500, 610}));
}

TEST_F(TitleBarSpot, APicturesPlainStretchIsTakenWhereTheHitTestReportsAnUnknownRole) {
    auto& ax = world.platform().accessibility;
    const auto spot = world.run(SpaceMover::plainTitleBarPoint(world.platform(), listed(4)));
    ASSERT_TRUE(spot);
    EXPECT_EQ(spot->y, 610);
    EXPECT_FALSE(SpaceMover::isSafeToHold(ax, hit(*spot))) << "accepted for its role alone";
    EXPECT_EQ(SpaceMover::string(ax, hit(*spot), "AXRole"), "AXUnknown");
}

TEST_F(TitleBarSpot, WithoutScreenRecordingThePictureSearchAsksForNothing) {
    world.world.mutableWorld().screenRecording = false;
    EXPECT_EQ(world.run(SpaceMover::plainTitleBarPoint(world.platform(), listed(1))), std::nullopt);
    EXPECT_EQ(world.world.world().screenCaptureRequests, 0);
}

} // namespace
} // namespace qw
