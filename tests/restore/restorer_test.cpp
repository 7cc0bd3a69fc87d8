#include "restore/restorer.h"

#include "restore/live_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace qw {
namespace {

using testing::LiveWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Two displays side by side. D1 shows desktop 11 of 11 and 12; D2 shows 21 of 21 and 22.
// Mail and Notes run; Safari is installed but not running.
constexpr std::string_view twoDisplays = R"({
  "displays": [
    {"id": 1, "uuid": "D1", "name": "Left", "main": true, "frame": [[0, 0], [1440, 900]],
     "spaces": [{"id": 11, "uuid": "S11"}, {"id": 12, "uuid": "S12"}], "currentSpace": 11},
    {"id": 2, "uuid": "D2", "name": "Right", "serial": 7, "frame": [[1440, 0], [1920, 1080]],
     "spaces": [{"id": 21, "uuid": "S21"}, {"id": 22, "uuid": "S22"}], "currentSpace": 21}
  ],
  "apps": [
    {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 100},
    {"name": "Notes", "bundleID": "com.apple.Notes", "path": "/Applications/Notes.app", "pid": 200},
    {"name": "Safari", "bundleID": "com.apple.Safari", "path": "/Applications/Safari.app", "running": false}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Drafts", "frame": [[100, 100], [600, 400]], "spaces": [11]},
    {"id": 2, "pid": 100, "title": "Inbox", "frame": [[700, 300], [600, 400]], "spaces": [11]},
    {"id": 3, "pid": 200, "title": "", "frame": [[1500, 100], [500, 500]], "spaces": [22]}
  ]
})";

SavedWindow savedWindow(std::string app, std::string title, std::string display, Rect frame) {
    SavedWindow w;
    w.appName = app;
    if (app == "Mail") w.bundleID = "com.apple.mail";
    if (app == "Notes") w.bundleID = "com.apple.Notes";
    if (app == "Safari") w.bundleID = "com.apple.Safari";
    w.title = std::move(title);
    w.display = std::move(display);
    w.frame = frame;
    return w;
}

class RestorerTest : public ::testing::Test {
protected:
    explicit RestorerTest(std::string_view world = twoDisplays) : live(world) {
        layout.displays = {live.saved(0), live.saved(1)};
    }

    RestorePlan plan(bool desktops = true) {
        Restorer::Apps apps{[this](const std::string& path) -> std::optional<std::string> {
                                const auto pair = launchers.find(path);
                                if (pair == launchers.end()) return std::nullopt;
                                return pair->second;
                            },
                            [this](const std::string& path) { return installed.contains(path); }};
        return Restorer::plan(layout, live.inventory, desktops, apps);
    }

    LiveWorld live;
    SavedLayout layout;
    std::map<std::string, std::string> launchers;
    std::set<std::string> installed{"/Applications/Mail.app", "/Applications/Notes.app", "/Applications/Safari.app"};
};

// ---- Scoring and assignment --------------------------------------------------------------------

TEST_F(RestorerTest, PairsWindowsByTitleWhereverTheyAre) {
    // Saved where the other window now is: the title outweighs the distance.
    layout.windows = {savedWindow("Mail", "Inbox", "D1", {100, 100, 600, 400}),
                      savedWindow("Mail", "Drafts", "D1", {700, 300, 600, 400})};
    const auto p = plan();
    EXPECT_EQ(p.moves, (std::map<WindowID, Rect>{{2, {100, 100, 600, 400}}, {1, {700, 300, 600, 400}}}));
    EXPECT_EQ(p.matched, (std::set<WindowID>{1, 2}));
    EXPECT_EQ(p.inPlace, 0);
    EXPECT_THAT(p.notes, IsEmpty());
}

TEST_F(RestorerTest, APartialTitleBeatsAnUntitledWindowAtTheSamePlace) {
    live.world.mutableWorld().windows[0].title = "";                  // untitled, exactly at the target
    live.world.mutableWorld().windows[1].title = "Inbox (3 messages)"; // far away
    live.inventory.refresh();
    layout.windows = {savedWindow("Mail", "Inbox", "D1", {100, 100, 600, 400})};
    const auto p = plan();
    EXPECT_EQ(p.moves, (std::map<WindowID, Rect>{{2, {100, 100, 600, 400}}}));
}

TEST_F(RestorerTest, WithoutTitlesTheNearerWindowWinsAndTiesKeepFrontToBackOrder) {
    layout.windows = {savedWindow("Mail", "", "D1", {690, 300, 600, 400})};
    EXPECT_EQ(plan().matched, (std::set<WindowID>{2})); // window 2 is 10 points away

    // Both windows equally far and equally sized: the front one (window 1) is taken.
    live.world.mutableWorld().windows[1].frame = {100, 300, 600, 400};
    live.world.mutableWorld().windows[0].frame = {100, 100, 600, 400};
    live.inventory.refresh();
    layout.windows = {savedWindow("Mail", "", "D1", {100, 200, 600, 400})};
    EXPECT_EQ(plan().matched, (std::set<WindowID>{1}));
}

TEST_F(RestorerTest, SizeCountsWhenDistanceIsEqual) {
    live.world.mutableWorld().windows[0].frame = {100, 100, 300, 200};
    live.world.mutableWorld().windows[1].frame = {100, 100, 590, 400};
    live.inventory.refresh();
    layout.windows = {savedWindow("Mail", "", "D1", {100, 100, 600, 400})};
    const auto p = plan();
    EXPECT_EQ(p.matched, (std::set<WindowID>{2}));
    EXPECT_EQ(p.inPlace, 1); // 10 points narrower is still in place
}

TEST_F(RestorerTest, TheShowingAndSavedDesktopTermsDecideBetweenOtherwiseEqualWindows) {
    // Notes has one window showing on D2 and one (3) on its hidden desktop 22, both at the target.
    auto& world = live.world.mutableWorld();
    world.windows.push_back({4, 200, "", {1500, 100, 500, 500}, {21}});
    live.inventory.refresh();
    auto saved = savedWindow("Notes", "", "D2", {1500, 100, 500, 500});
    layout.windows = {saved};
    EXPECT_EQ(plan().matched, (std::set<WindowID>{4})); // +50 for showing

    saved.spaceUUID = "S22"; // +200 for its saved desktop outweighs showing
    layout.windows = {saved};
    auto p = plan();
    EXPECT_EQ(p.matched, (std::set<WindowID>{3}));
    EXPECT_EQ(p.moves, (std::map<WindowID, Rect>{{3, {1500, 100, 500, 500}}})); // not kept: placed anyway

    // Kept on its desktop, already there and in place: nothing to carry, nothing to do.
    layout.windows[0].keepsDesktop = true;
    p = plan();
    EXPECT_THAT(p.desktops, IsEmpty());
    EXPECT_THAT(p.moves, IsEmpty());
    EXPECT_EQ(p.inPlace, 1);

    // There but out of place: moved, still without a desktop entry.
    layout.windows[0].frame = {1600, 100, 500, 500};
    p = plan();
    EXPECT_THAT(p.desktops, IsEmpty());
    EXPECT_EQ(p.moves, (std::map<WindowID, Rect>{{3, {1600, 100, 500, 500}}}));
}

TEST_F(RestorerTest, InPlaceMeansEdgesWithinTwoPointsAndSizeWithinTen) {
    struct Case {
        Rect frame;
        bool inPlace;
    };
    const Case cases[] = {
        {{102, 98, 590, 410}, true},  {{103, 100, 600, 400}, false}, {{100, 97, 600, 400}, false},
        {{100, 100, 589, 400}, false}, {{100, 100, 600, 411}, false},
    };
    layout.windows = {savedWindow("Mail", "Inbox", "D1", {100, 100, 600, 400})};
    for (const auto& c : cases) {
        live.world.mutableWorld().windows[1].frame = c.frame;
        live.inventory.refresh();
        const auto p = plan();
        EXPECT_EQ(p.inPlace, c.inPlace ? 1 : 0) << c.frame.x() << "," << c.frame.y();
        EXPECT_EQ(p.moves.contains(2), !c.inPlace);
        EXPECT_TRUE(p.matched.contains(2));
    }
}

// ---- Desktops ----------------------------------------------------------------------------------

TEST_F(RestorerTest, DesktopMovesOnlyForKeptDesktopsThatAreNotShowing) {
    auto saved = savedWindow("Mail", "Inbox", "D1", {700, 300, 600, 400});
    saved.keepsDesktop = true;
    saved.spaceUUID = "S11"; // showing
    layout.windows = {saved};
    auto p = plan();
    EXPECT_THAT(p.desktops, IsEmpty());
    EXPECT_EQ(p.inPlace, 1);

    layout.windows[0].spaceUUID = "S12"; // hidden
    p = plan();
    EXPECT_EQ(p.desktops, (std::map<WindowID, SpaceID>{{2, 12}}));
    EXPECT_EQ(p.moves, (std::map<WindowID, Rect>{{2, {700, 300, 600, 400}}})); // its own frame: in place
    EXPECT_EQ(p.inPlace, 0);

    p = plan(false);
    EXPECT_THAT(p.desktops, IsEmpty());
    EXPECT_EQ(p.inPlace, 1);
    EXPECT_THAT(p.notes, ElementsAre("1 window saved on a different desktop, placed on the one showing (Mail)"));
}

TEST_F(RestorerTest, WindowsOnHiddenDesktopsAreCarriedOrLeftAlone) {
    auto saved = savedWindow("Notes", "", "D2", {1600, 200, 500, 500});
    saved.keepsDesktop = true;
    saved.spaceUUID = "S21";
    layout.windows = {saved};
    // Window 3 is on desktop 22, not showing; its saved desktop 21 is showing, so no desktop move.
    auto p = plan();
    EXPECT_EQ(p.matched, (std::set<WindowID>{3}));
    EXPECT_EQ(p.moves, (std::map<WindowID, Rect>{{3, {1600, 200, 500, 500}}}));

    p = plan(false);
    EXPECT_THAT(p.matched, IsEmpty());
    EXPECT_THAT(p.moves, IsEmpty());
    EXPECT_THAT(p.notes, ElementsAre("1 window on another desktop or full screen, left where it is (Notes)"));
}

// ---- Launches and what stays missing -----------------------------------------------------------

TEST_F(RestorerTest, ThreeWindowsOfAnAppThatIsNotRunningOpenItOnce) {
    auto first = savedWindow("Safari", "A", "D2", {1500, 100, 800, 600});
    first.appPath = "/Applications/Safari.app";
    first.keepsDesktop = true;
    first.desktopNumber = 2;
    auto second = first;
    second.frame = {1600, 200, 800, 600};
    layout.windows = {first, second, second};
    auto p = plan();
    ASSERT_EQ(p.launches.size(), 1u);
    EXPECT_EQ(p.launches[0], (RestorePlan::Launch{"/Applications/Safari.app", "Safari", "com.apple.Safari",
                                                  {1500, 100, 800, 600}, SpaceID{22}}));
    EXPECT_THAT(p.notes, IsEmpty()); // the launched app's windows are in no list

    EXPECT_EQ(plan(false).launches[0].desktop, std::nullopt);
    installed.clear();
    p = plan();
    EXPECT_THAT(p.launches, IsEmpty());
    EXPECT_THAT(p.notes, ElementsAre("Not running: Safari"));
}

TEST_F(RestorerTest, RunningAppsWithoutASpareWindowAreNoLongerOpen) {
    auto saved = savedWindow("Notes", "", "D2", {1500, 100, 500, 500});
    saved.appPath = "/Applications/Notes.app";
    layout.windows = {saved, saved, saved};
    const auto p = plan();
    EXPECT_THAT(p.launches, IsEmpty()); // running: nothing to open
    EXPECT_THAT(p.notes, ElementsAre("2 windows no longer open (Notes ×2)"));
}

TEST_F(RestorerTest, ALauncherFindsTheWindowsOfTheAppItOpensAndIsOpenedEvenWhenThatRuns) {
    auto saved = savedWindow("Mail Launcher", "Inbox", "D1", {100, 100, 600, 400});
    saved.appPath = "/Applications/Mail Launcher.app";
    installed.insert(*saved.appPath);
    launchers[*saved.appPath] = "com.apple.mail";
    layout.windows = {saved, saved, saved};
    const auto p = plan();
    EXPECT_EQ(p.matched, (std::set<WindowID>{1, 2}));
    ASSERT_EQ(p.launches.size(), 1u); // the third window: the running check is skipped for launchers
    EXPECT_EQ(p.launches[0].app, "/Applications/Mail Launcher.app");
}

TEST_F(RestorerTest, NotesComeInTheirOrderWithSingularPluralAndTheCut) {
    // Left alone (Notes on a hidden desktop, no desktop moves), then not running (five apps, cut
    // after four), then no longer open, then the unconnected displays by name.
    std::vector<SavedWindow> windows = {savedWindow("Notes", "", "D2", {1500, 100, 500, 500})};
    for (const char* app : {"Eve", "Dan", "Cal", "Bob", "Bob", "Ann", "Ann"}) windows.push_back(savedWindow(app, "", "D1", {0, 30, 400, 300}));
    windows.push_back(savedWindow("Mail", "", "D1", {0, 30, 400, 300}));
    windows.push_back(savedWindow("Mail", "", "D1", {0, 30, 400, 300}));
    windows.push_back(savedWindow("Mail", "", "D1", {0, 30, 400, 300}));
    windows.push_back(savedWindow("Mail", "", "GONE-B", {0, 30, 400, 300}));
    windows.push_back(savedWindow("Mail", "", "GONE-A", {0, 30, 400, 300}));
    windows.push_back(savedWindow("Mail", "", "GONE-A", {0, 30, 400, 300}));
    windows.push_back(savedWindow("Mail", "", "NOWHERE", {0, 30, 400, 300}));
    layout.windows = windows;
    SavedDisplay b{"GONE-B", {9, 9, 9}, "B", {0, 0, 800, 600}, {0, 25, 800, 575}};
    SavedDisplay a{"GONE-A", {8, 8, 8}, "A", {0, 0, 800, 600}, {0, 25, 800, 575}};
    layout.displays.push_back(b);
    layout.displays.push_back(a);

    EXPECT_THAT(plan(false).notes,
                ElementsAre("1 window on another desktop or full screen, left where it is (Notes)",
                            "Not running: Ann, Bob, Cal, Dan, …",
                            "1 window no longer open (Mail)",
                            "2 windows were on A, which isn't connected",
                            "1 window was on B, which isn't connected",
                            "1 window was on a display, which isn't connected"));
}

TEST_F(RestorerTest, ALayoutOnNoConnectedDisplayGivesOnlyTheUnconnectedSentence) {
    layout.displays = {{"X", {5, 5, 5}, "Studio", {0, 0, 800, 600}, {0, 25, 800, 575}}};
    layout.windows = {savedWindow("Mail", "Inbox", "X", {0, 30, 400, 300})};
    const auto p = plan();
    EXPECT_EQ(p, (RestorePlan{{}, 0, {"1 window was on Studio, which isn't connected"}, {}, {}, {}, {}}));
}

TEST_F(RestorerTest, ASavedDisplayWithoutAUsableSizeCountsAsNotConnected) {
    for (double width : {0.0, -1440.0, std::numeric_limits<double>::infinity()}) {
        layout.displays[0].frame = {0, 0, width, 900};
        layout.windows = {savedWindow("Mail", "Inbox", "D1", {100, 100, 600, 400})};
        const auto p = plan();
        EXPECT_THAT(p.moves, IsEmpty());
        EXPECT_THAT(p.notes, ElementsAre("1 window was on Left, which isn't connected")) << width;
    }
}

// ---- translate ---------------------------------------------------------------------------------

TEST(RestorerTranslateTest, ScalesToALargerDisplayAndClampsIntoItsVisibleFrame) {
    const SavedDisplay small{"S", {}, "Small", {0, 0, 1440, 900}, {0, 25, 1440, 875}};
    DisplayInfo big;
    big.frame = {1440, 0, 2880, 1800};
    big.visibleFrame = {1440, 25, 2880, 1775};
    EXPECT_EQ(Restorer::translate({100, 50, 600, 400}, small, big), Rect(1640, 100, 1200, 800));
    // Doubled, it would end below the visible frame: pulled up inside it.
    EXPECT_EQ(Restorer::translate({100, 600, 600, 400}, small, big), Rect(1640, 1000, 1200, 800));
    // 200.5 wide rounds away from zero to 201; from x = 1440.5 the whole is rounded outward.
    EXPECT_EQ(Restorer::translate({0.25, 100, 100.25, 100}, small, big), Rect(1440, 200, 202, 200));
}

TEST(RestorerTranslateTest, OnADisplayOfTheSameSizeKeepsThePositionButCapsTheSize) {
    const SavedDisplay saved{"S", {}, "Left", {0, 0, 1440, 900}, {0, 25, 1440, 875}};
    DisplayInfo same;
    same.frame = {-1440, 0, 1440, 900};
    same.visibleFrame = {-1440, 25, 1440, 875};
    EXPECT_EQ(Restorer::translate({1300, 800, 2000, 300.5}, saved, same), Rect(-140, 800, 1440, 301));
    EXPECT_EQ(Restorer::translate({10, 10, 100, 100}, {"S", {}, "", {0, 0, 0, 900}, {}}, same), std::nullopt);
}

// ---- savedDesktop ------------------------------------------------------------------------------

TEST(RestorerSavedDesktopTest, ByUuidThenNumberThenIndex) {
    DisplayInfo display;
    display.spaces = {{11, "U1", 1, false, 1, "Desktop 1", {}},
                      {90, "FS", 2, true, {}, "Keynote", {}},
                      {12, "U2", 3, false, 2, "Desktop 2", {}},
                      {13, "U3", 4, false, 3, "Desktop 3", {}}};
    struct Case {
        std::optional<std::string> uuid;
        std::optional<int> number;
        std::optional<int> index;
        std::optional<SpaceID> expected;
    };
    const Case cases[] = {
        {"U2", 3, 1, 12},                     // the UUID wins
        {"gone", 3, {}, 13},                  // an unknown UUID falls back to the number
        {"", 2, {}, 12},                      // an empty UUID counts as none
        {{}, 4, 4, std::nullopt},             // out of range: no fallback to the index
        {{}, {}, 3, 12},                      // the index among all spaces
        {{}, {}, 2, std::nullopt},            // that index is the full-screen space
        {"FS", {}, {}, std::nullopt},         // full-screen spaces are never a saved desktop
        {{}, {}, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SavedWindow saved;
        saved.spaceUUID = c.uuid;
        saved.desktopNumber = c.number;
        saved.spaceIndex = c.index;
        const auto desktop = Restorer::savedDesktop(saved, display);
        EXPECT_EQ(desktop ? std::optional<SpaceID>(desktop->id) : std::nullopt, c.expected)
            << c.uuid.value_or("-") << " " << c.number.value_or(0) << " " << c.index.value_or(0);
    }
}

// ---- count and names ---------------------------------------------------------------------------

TEST(RestorerTextTest, CountsAndNames) {
    EXPECT_EQ(Restorer::count({}), "0 windows");
    EXPECT_EQ(Restorer::count({"a"}), "1 window");
    EXPECT_EQ(Restorer::count({"a", "a"}), "2 windows");

    EXPECT_EQ(Restorer::names({"Mail", "Notes", "Mail"}, true), "Mail ×2, Notes");
    EXPECT_EQ(Restorer::names({"Mail", "Notes", "Mail"}, false), "Mail, Notes");
    EXPECT_EQ(Restorer::names({"b", "a", "c"}, true), "a, b, c");
    EXPECT_EQ(Restorer::names({"a", "b", "c", "d"}, true), "a, b, c, d");
    EXPECT_EQ(Restorer::names({"e", "d", "c", "b", "a", "e"}, true), "e ×2, a, b, c, …");
    EXPECT_EQ(Restorer::names({}, true), "");
}

} // namespace
} // namespace qw
