#include "desktops/space_mover.h"

#include "desktops/desktop_gate.h"
#include "desktops/desktop_world.h"
#include "platform/input.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace qw::SpaceMover {
void PrintTo(const Moved& m, std::ostream* os) { *os << "moved(" << m.index << ")"; }
void PrintTo(const Failed& f, std::ostream* os) { *os << "failed(\"" << f.sentence << "\")"; }
} // namespace qw::SpaceMover

namespace qw {
namespace {

using platform::KeyEvent;
using platform::MouseEvent;
using SpaceMover::Failed;
using SpaceMover::Moved;
using SpaceMover::Outcome;
using testing::DesktopWorld;

// One display with four desktops, showing the first. Notes can be held anywhere on its bar; Kiosk
// never follows; Crowded has a control under every point Accessibility would try; Tiny is too
// narrow for any; a second Notes window is on every desktop.
constexpr std::string_view moverWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "name": "Studio Display", "main": true, "frame": [[0, 0], [2560, 1440]],
                "spaces": [{"id": 11}, {"id": 12}, {"id": 13}, {"id": 14}], "currentSpace": 11}],
  "apps": [
    {"name": "Notes", "path": "/Applications/Notes.app", "running": true, "pid": 100},
    {"name": "Kiosk", "path": "/Applications/Kiosk.app", "running": true, "pid": 200, "undraggable": true},
    {"name": "Crowded", "path": "/Applications/Crowded.app", "running": true, "pid": 300,
     "titleBar": [{"role": "AXButton", "frame": [[490, 0], [20, 28]], "actions": ["AXPress"]},
                  {"role": "AXButton", "frame": [[340, 0], [20, 28]], "actions": ["AXPress"]},
                  {"role": "AXButton", "frame": [[640, 0], [20, 28]], "actions": ["AXPress"]},
                  {"role": "AXButton", "frame": [[240, 0], [20, 28]], "actions": ["AXPress"]},
                  {"role": "AXButton", "frame": [[740, 0], [20, 28]], "actions": ["AXPress"]},
                  {"role": "AXButton", "frame": [[190, 0], [20, 28]], "actions": ["AXPress"]},
                  {"role": "AXButton", "frame": [[790, 0], [20, 28]], "actions": ["AXPress"]},
                  {"role": "AXButton", "frame": [[140, 0], [20, 28]], "actions": ["AXPress"]},
                  {"role": "AXButton", "frame": [[840, 0], [20, 28]], "actions": ["AXPress"]}]},
    {"name": "Tiny", "path": "/Applications/Tiny.app", "running": true, "pid": 400}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Notes", "frame": [[100, 100], [800, 400]], "spaces": [11]},
    {"id": 2, "pid": 200, "title": "Kiosk", "frame": [[1000, 100], [600, 300]], "spaces": [11]},
    {"id": 3, "pid": 300, "title": "Crowded", "frame": [[100, 600], [1000, 300]], "spaces": [11]},
    {"id": 4, "pid": 400, "title": "Tiny", "frame": [[1200, 600], [120, 200]], "spaces": [11]},
    {"id": 5, "pid": 100, "title": "Everywhere", "frame": [[1500, 600], [400, 300]], "spaces": [11, 12, 13, 14]}
  ]
})";

constexpr Point userPointer{2000, 1000};

class SpaceMoverTest : public ::testing::Test {
protected:
    SpaceMoverTest() { world.platform().input.warpPointer(userPointer); }

    Task<Outcome> move(WindowID id, int index) {
        return SpaceMover::move(world.platform(), world.skyLight, world.windowInfo(id), index, world.inventory);
    }

    std::vector<MouseEvent> mouseEvents(MouseEvent::Type type) {
        std::vector<MouseEvent> found;
        for (const auto& e : world.input().posted())
            if (const auto* m = std::get_if<MouseEvent>(&e); m && m->type == type) found.push_back(*m);
        return found;
    }
    int keyDowns(std::uint16_t key) {
        int n = 0;
        for (const auto& e : world.input().posted())
            if (const auto* k = std::get_if<KeyEvent>(&e); k && k->down && k->keyCode == key) ++n;
        return n;
    }
    void expectHandsAsTheUserLeftThem() {
        EXPECT_EQ(world.input().pointerLocation(), userPointer);
        EXPECT_FALSE(world.input().isButtonDown());
        EXPECT_EQ(world.display().currentSpace, 11u) << "the display shows the desktop the user was on";
    }

    DesktopWorld world{moverWorld};
};

TEST_F(SpaceMoverTest, CarriesAWindowThreeDesktopsRightAndPutsEverythingBack) {
    EXPECT_EQ(world.run(move(1, 4)), Outcome{Moved{4}});
    EXPECT_EQ(world.window(1).spaces, std::vector<SpaceID>{14});
    EXPECT_EQ(world.window(1).frame, Rect(100, 100, 800, 400)) << "the drags moved it; its frame is put back";
    EXPECT_EQ(keyDowns(platform::KeyCodes::rightArrow), 3);
    EXPECT_EQ(keyDowns(platform::KeyCodes::leftArrow), 3) << "and as many steps back";
    EXPECT_EQ(mouseEvents(MouseEvent::Type::leftDown).size(), 1u);
    expectHandsAsTheUserLeftThem();
    EXPECT_FALSE(SpaceMover::isBusy());
    EXPECT_FALSE(DesktopGate::shared().isTaken());
}

TEST_F(SpaceMoverTest, ToTheDesktopShowingNothingHappens) {
    EXPECT_EQ(world.run(move(1, 1)), Outcome{Moved{1}});
    EXPECT_TRUE(world.input().posted().empty());
}

TEST_F(SpaceMoverTest, FailsBeforeTouchingAnythingWhenTheMoveCannotBeMade) {
    struct Case {
        const char* what;
        std::function<void(sim::World&)> change;
        WindowID window;
        int index;
        std::string sentence;
    };
    const Case cases[] = {
        {"no trust", [](sim::World& w) { w.accessibility = false; }, 1, 2, "Accessibility permission is off"},
        {"closed", [](sim::World&) {}, 99, 2, "The window has closed"},
        {"not showing", [](sim::World& w) { w.displays[0].currentSpace = 12; }, 1, 3,
         "Notes isn't on the desktop showing on its display"},
        {"every desktop", [](sim::World&) {}, 5, 2, "Notes is on every desktop"},
        {"no such desktop", [](sim::World&) {}, 1, 5, "That isn't a regular desktop on Studio Display"},
        {"shortcut off", [](sim::World& w) {
             w.preferences["com.apple.symbolichotkeys"] = platform::PropertyValue::Dictionary{
                 {"AppleSymbolicHotKeys", platform::PropertyValue::Dictionary{
                                              {"81", platform::PropertyValue::Dictionary{{"enabled", false}}}}}};
         }, 1, 2, "Turn on \u201CMove right a space\u201D in Keyboard Shortcuts \u203A Mission Control"},
    };
    for (const Case& c : cases) {
        DesktopWorld fresh{moverWorld};
        c.change(fresh.world.mutableWorld());
        const Outcome outcome =
            fresh.run(SpaceMover::move(fresh.platform(), fresh.skyLight, fresh.windowInfo(c.window), c.index, fresh.inventory));
        EXPECT_EQ(outcome, Outcome{Failed{c.sentence}}) << c.what;
        EXPECT_TRUE(fresh.input().posted().empty()) << c.what;
    }
}

TEST_F(SpaceMoverTest, WithTheRightShortcutOffAMoveLeftStillWorks) {
    sim::World& w = world.world.mutableWorld();
    w.preferences["com.apple.symbolichotkeys"] = platform::PropertyValue::Dictionary{
        {"AppleSymbolicHotKeys",
         platform::PropertyValue::Dictionary{{"81", platform::PropertyValue::Dictionary{{"enabled", false}}}}}};
    w.displays[0].currentSpace = 13;
    w.windows[0].spaces = {13};
    EXPECT_EQ(world.run(move(1, 1)), Outcome{Moved{1}});
    EXPECT_EQ(world.window(1).spaces, std::vector<SpaceID>{11});
    // The way back is to the right, whose shortcut is off: the display stays where the window went.
    EXPECT_EQ(world.display().currentSpace, 11u);
    EXPECT_EQ(keyDowns(platform::KeyCodes::rightArrow), 0);
}

TEST_F(SpaceMoverTest, ATitleBarThatNeverFollowsGetsExactlyTwoAttempts) {
    EXPECT_EQ(world.run(move(2, 3)), Outcome{Failed{"Kiosk didn't respond to holding its title bar, so nothing was moved"}});
    const auto presses = mouseEvents(MouseEvent::Type::leftDown);
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[0].location, presses[1].location) << "the same spot both times";
    EXPECT_EQ(mouseEvents(MouseEvent::Type::leftUp).size(), 2u);
    EXPECT_EQ(keyDowns(platform::KeyCodes::rightArrow), 0);
    EXPECT_EQ(world.window(2).spaces, std::vector<SpaceID>{11});
    expectHandsAsTheUserLeftThem();
}

TEST_F(SpaceMoverTest, ControlsUnderEveryCandidateSendItToThePlainStretchOfThePicture) {
    EXPECT_EQ(world.run(move(3, 2)), Outcome{Moved{2}});
    const auto presses = mouseEvents(MouseEvent::Type::leftDown);
    ASSERT_EQ(presses.size(), 1u);
    // Stretches 360-490 and 510-640 are equally long; the left one's middle.
    EXPECT_EQ(presses[0].location, (Point{100 + 425, 600 + 10}));
    EXPECT_EQ(world.window(3).spaces, std::vector<SpaceID>{12});
}

TEST_F(SpaceMoverTest, NoSpotWithoutAPictureOrOnAWindowTooNarrow) {
    EXPECT_EQ(world.run(move(4, 2)), Outcome{Failed{"Couldn't find a free spot on Tiny's title bar to hold"}});
    world.world.mutableWorld().screenRecording = false;
    EXPECT_EQ(world.run(move(3, 2)), Outcome{Failed{"Couldn't find a free spot on Crowded's title bar to hold"}});
    EXPECT_TRUE(mouseEvents(MouseEvent::Type::leftDown).empty());
    EXPECT_TRUE(mouseEvents(MouseEvent::Type::moved).empty());
}

TEST_F(SpaceMoverTest, ASecondMoveWhileOneRunsIsRefusedAndTheFirstGoesOn) {
    TaskHandle<Outcome> first = world.loop().spawn(move(1, 3));
    world.loop().runFor(std::chrono::milliseconds(1500)); // holding the title bar by now
    ASSERT_TRUE(world.input().heldWindow());
    EXPECT_EQ(world.run(move(3, 2)), Outcome{Failed{"Another desktop move is still running"}});
    ASSERT_TRUE(first.isDone());
    EXPECT_EQ(*first.result(), Outcome{Moved{3}});
    EXPECT_EQ(world.window(1).spaces, std::vector<SpaceID>{13});
    EXPECT_EQ(world.window(3).spaces, std::vector<SpaceID>{11});
}

TEST_F(SpaceMoverTest, ShowingADesktopWaitsUntilTheMoveHasLetGo) {
    TaskHandle<Outcome> carry = world.loop().spawn(move(1, 4));
    world.loop().runFor(std::chrono::milliseconds(1500));
    const DisplayInfo display = *world.displayInfo("D1");
    TaskHandle<void> show = world.loop().spawn(SpaceMover::show(world.platform(), world.skyLight, 2, display));
    world.loop().run();
    EXPECT_EQ(*carry.result(), Outcome{Moved{4}});
    EXPECT_TRUE(show.isDone());
    EXPECT_EQ(world.window(1).spaces, std::vector<SpaceID>{14}) << "not dropped on the desktop shown meanwhile";
    EXPECT_EQ(world.display().currentSpace, 12u);
}

TEST_F(SpaceMoverTest, AWindowThatClosesWhileHeldIsLetGoOf) {
    world.world.mac().startTimeline();
    world.world.mac().addEvent(sim::TimelineEvent{0.9, sim::events::CloseWindow{2}});
    EXPECT_EQ(world.run(move(2, 3)), Outcome{Failed{"The window has closed"}});
    EXPECT_EQ(mouseEvents(MouseEvent::Type::leftDown).size(), 1u);
    EXPECT_EQ(keyDowns(platform::KeyCodes::rightArrow), 0) << "no shortcut pressed over whatever lies there now";
    expectHandsAsTheUserLeftThem();
}

TEST(SpaceMoverShortcut, ReadsTheUsersSettingAndFallsBackOnAnythingMalformed) {
    using platform::PropertyValue;
    const auto entry = [](PropertyValue parameters) {
        return PropertyValue::Dictionary{{"enabled", true}, {"value", PropertyValue::Dictionary{{"parameters", parameters}}}};
    };
    const SpaceMover::Shortcut fallback{124, 0x840000};
    struct Case {
        const char* what;
        std::optional<PropertyValue> entry;
        std::optional<SpaceMover::Shortcut> expected;
    };
    const Case cases[] = {
        {"no setting", std::nullopt, fallback},
        {"the user's own", entry(PropertyValue::Array{65535, 17, 0x100000}), SpaceMover::Shortcut{17, 0x100000}},
        {"switched off", PropertyValue::Dictionary{{"enabled", false}}, std::nullopt},
        {"switched off as a number", PropertyValue::Dictionary{{"enabled", 0}}, std::nullopt},
        {"two parameters", entry(PropertyValue::Array{65535, 17}), fallback},
        {"a key code past 65535", entry(PropertyValue::Array{65535, 70000, 0x100000}), fallback},
        {"a negative key code", entry(PropertyValue::Array{65535, -1, 0x100000}), fallback},
        {"negative flags", entry(PropertyValue::Array{65535, 17, -8}), fallback},
        {"flags with a fraction", entry(PropertyValue::Array{65535, 17, 1.5}), fallback},
        {"a string for a key code", entry(PropertyValue::Array{65535, "17", 0}), fallback},
    };
    for (const Case& c : cases) {
        testing::SimulatedWorld world("{}");
        if (c.entry)
            world.mutableWorld().preferences["com.apple.symbolichotkeys"] =
                PropertyValue::Dictionary{{"AppleSymbolicHotKeys", PropertyValue::Dictionary{{"81", *c.entry}}}};
        EXPECT_EQ(SpaceMover::Shortcut::move(world.platform().preferences, true), c.expected) << c.what;
        EXPECT_EQ(SpaceMover::Shortcut::move(world.platform().preferences, false),
                  (SpaceMover::Shortcut{123, 0x840000}))
            << c.what << ": the other direction keeps its default";
    }
}

} // namespace
} // namespace qw
