#include "platform/sim/sim_input.h"

#include "platform/input.h"
#include "platform/notification_center.h"
#include "system/simulated_world.h"

#include <gtest/gtest.h>

#include <string>

namespace qw {
namespace {

using platform::KeyEvent;
using platform::MouseEvent;
using testing::SimulatedWorld;
using Type = MouseEvent::Type;

constexpr std::uint64_t controlFunction = platform::ModifierFlags::control | platform::ModifierFlags::function;

// One display with four desktops; Notes has a plain title bar, Browser a toolbar with a button and a
// web area holding a menu group, Kiosk cannot be dragged at all.
constexpr std::string_view handsWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11}, {"id": 12}, {"id": 13}, {"id": 14}], "currentSpace": 12}],
  "apps": [
    {"name": "Notes", "path": "/Applications/Notes.app", "running": true, "pid": 100},
    {"name": "Browser", "path": "/Applications/Browser.app", "running": true, "pid": 200,
     "titleBar": [{"role": "AXToolbar", "frame": [[0, 0], [800, 52]]},
                  {"role": "AXButton", "frame": [[300, 10], [40, 30]], "actions": ["AXPress"]},
                  {"role": "AXWebArea", "frame": [[500, 0], [200, 52]]},
                  {"role": "AXGroup", "frame": [[520, 5], [40, 20]], "actions": ["AXShowMenu"]}]},
    {"name": "Kiosk", "path": "/Applications/Kiosk.app", "running": true, "pid": 300, "undraggable": true}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Notes", "frame": [[100, 100], [600, 400]], "spaces": [12]},
    {"id": 2, "pid": 200, "title": "Browser", "frame": [[0, 500], [800, 300]], "spaces": [12]},
    {"id": 3, "pid": 300, "title": "Kiosk", "frame": [[900, 100], [400, 300]], "spaces": [12]},
    {"id": 4, "pid": 100, "title": "Notes on 11", "frame": [[100, 100], [600, 400]], "spaces": [11]}
  ]
})";

class Hands : public ::testing::Test {
protected:
    sim::SimInput& input() { return world.mac().input(); }
    void mouse(Type type, Point at) { input().post(MouseEvent{type, at, 0, 1, 0, 0}); }
    void press(std::uint16_t key, std::uint64_t flags) {
        input().post(KeyEvent{key, true, flags});
        input().post(KeyEvent{key, false, flags});
    }
    Rect frameOf(WindowID id) { return sim::findWindow(world.world(), id)->frame; }
    std::vector<SpaceID> spacesOf(WindowID id) { return sim::findWindow(world.world(), id)->spaces; }
    SpaceID shown() { return world.world().displays[0].currentSpace; }

    SimulatedWorld world{handsWorld};
};

TEST_F(Hands, APressHoldsAWindowOnlyWhereItsTitleBarIsFreeToDrag) {
    struct Case {
        const char* what;
        Point at;
        std::optional<WindowID> held;
    };
    const Case cases[] = {
        {"plain title bar", {400, 110}, 1},
        {"close button of a plain title bar", {115, 114}, std::nullopt},
        {"below the title bar", {400, 300}, std::nullopt},
        {"toolbar background", {100, 520}, 2},
        {"toolbar button", {310, 520}, std::nullopt},
        {"web area", {650, 510}, std::nullopt},
        {"harmless group inside the web area", {530, 510}, std::nullopt},
        {"undraggable app", {1000, 110}, std::nullopt},
        {"no window at all", {1400, 880}, std::nullopt},
    };
    for (const Case& c : cases) {
        mouse(Type::leftDown, c.at);
        EXPECT_EQ(input().heldWindow(), c.held) << c.what;
        mouse(Type::leftUp, c.at);
        EXPECT_FALSE(input().heldWindow()) << c.what;
    }
}

TEST_F(Hands, AHeldWindowFollowsEachDragUntilReleased) {
    mouse(Type::moved, {400, 110});
    mouse(Type::leftDragged, {420, 110}); // no button down: nothing follows
    EXPECT_EQ(frameOf(1), Rect(100, 100, 600, 400));

    mouse(Type::leftDown, {400, 110});
    mouse(Type::leftDragged, {402, 110});
    mouse(Type::leftDragged, {410, 105});
    EXPECT_EQ(frameOf(1), Rect(110, 95, 600, 400));
    mouse(Type::leftUp, {410, 105});
    mouse(Type::leftDragged, {500, 105});
    EXPECT_EQ(frameOf(1), Rect(110, 95, 600, 400));
    EXPECT_EQ(input().pointerLocation(), (Point{500, 105}));
}

TEST_F(Hands, TheMoveSpaceShortcutSwitchesAfterTheAnimationAndCarriesOnlyAHeldWindow) {
    int switches = 0;
    auto registration = world.platform().workspaceNotifications.addObserver(
        platform::Notifications::activeSpaceDidChange, [&](const platform::Notification&) { ++switches; });

    mouse(Type::leftDown, {400, 110});
    press(platform::KeyCodes::rightArrow, controlFunction);
    EXPECT_EQ(shown(), 12u) << "the switch waits for its animation";
    world.loop().runFor(sim::SimInput::switchAnimation);
    EXPECT_EQ(shown(), 13u);
    EXPECT_EQ(spacesOf(1), std::vector<SpaceID>{13});
    EXPECT_EQ(spacesOf(2), std::vector<SpaceID>{12}) << "windows not held stay";
    EXPECT_EQ(switches, 1);

    mouse(Type::leftUp, {400, 110});
    press(platform::KeyCodes::leftArrow, controlFunction);
    press(platform::KeyCodes::leftArrow, controlFunction);
    world.loop().run();
    EXPECT_EQ(shown(), 11u) << "presses during an animation queue up";
    EXPECT_EQ(spacesOf(1), std::vector<SpaceID>{13});

    press(platform::KeyCodes::leftArrow, controlFunction); // already the first desktop
    world.loop().run();
    EXPECT_EQ(shown(), 11u);
    EXPECT_EQ(switches, 3);
}

TEST_F(Hands, OnlyTheUsersShortcutWithItsModifiersSwitches) {
    world.mutableWorld().preferences["com.apple.symbolichotkeys"] = platform::PropertyValue::Dictionary{
        {"AppleSymbolicHotKeys",
         platform::PropertyValue::Dictionary{
             {"79", platform::PropertyValue::Dictionary{{"enabled", false}}},
             {"81", platform::PropertyValue::Dictionary{
                        {"enabled", true},
                        {"value", platform::PropertyValue::Dictionary{
                                      {"parameters", platform::PropertyValue::Array{65535, 2, 0x100000}}}}}}}}};

    press(platform::KeyCodes::rightArrow, controlFunction); // the default no longer applies
    press(2, 0);                                             // the key without its modifier
    press(platform::KeyCodes::leftArrow, controlFunction);   // switched off
    world.loop().run();
    EXPECT_EQ(shown(), 12u);

    press(2, platform::ModifierFlags::command);
    world.loop().run();
    EXPECT_EQ(shown(), 13u);
}

TEST_F(Hands, KeyStateFollowsPressesAndReleases) {
    input().post(KeyEvent{59, true, platform::ModifierFlags::control});
    EXPECT_TRUE(input().isKeyDown(59));
    input().post(KeyEvent{59, false, 0});
    EXPECT_FALSE(input().isKeyDown(59));
}

TEST(HandsOnTwoDisplays, TheDisplayUnderThePointerSwitches) {
    SimulatedWorld world(R"({
      "displays": [
        {"id": 1, "uuid": "A", "main": true, "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}, {"id": 12}]},
        {"id": 2, "uuid": "B", "frame": [[1440, 0], [1920, 1080]], "spaces": [{"id": 21}, {"id": 22}]}
      ]
    })");
    world.platform().input.warpPointer({2000, 500});
    world.platform().input.post(KeyEvent{platform::KeyCodes::rightArrow, true, controlFunction});
    world.loop().run();
    EXPECT_EQ(world.world().displays[0].currentSpace, 11u);
    EXPECT_EQ(world.world().displays[1].currentSpace, 22u);
}

TEST(HandsPastAFullScreenSpace, AHeldWindowStaysInHandAndLandsOnTheNextDesktop) {
    SimulatedWorld world(R"({
      "displays": [{"id": 1, "uuid": "A", "main": true, "frame": [[0, 0], [1440, 900]],
                    "spaces": [{"id": 11}, {"id": 12, "fullscreen": true, "pid": 100}, {"id": 13}]}],
      "apps": [{"name": "Notes", "path": "/Applications/Notes.app", "running": true, "pid": 100}],
      "windows": [{"id": 1, "pid": 100, "frame": [[100, 100], [600, 400]], "spaces": [11]},
                  {"id": 2, "pid": 100, "frame": [[0, 0], [1440, 900]], "spaces": [12]}]
    })");
    auto& input = world.mac().input();
    input.post(MouseEvent{Type::leftDown, {400, 110}, 0, 1, 0, 0});
    input.post(KeyEvent{platform::KeyCodes::rightArrow, true, controlFunction});
    world.loop().run();
    EXPECT_EQ(sim::findWindow(world.world(), 1)->spaces, std::vector<SpaceID>{11}) << "no window joins a full-screen space";
    input.post(KeyEvent{platform::KeyCodes::rightArrow, true, controlFunction});
    world.loop().run();
    EXPECT_EQ(world.world().displays[0].currentSpace, 13u);
    EXPECT_EQ(sim::findWindow(world.world(), 1)->spaces, std::vector<SpaceID>{13});
}

} // namespace
} // namespace qw
