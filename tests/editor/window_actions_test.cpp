#include "editor/window_actions.h"

#include "editor/layout_editor.h"
#include "platform/sim/world.h"
#include "restore/app_launcher.h"
#include "restore/live_editor_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

namespace qw {
namespace {

using testing::LiveWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using std::chrono::milliseconds;

// One display showing desktop 11 of 11, 12 and 13, with Keynote full screen in 90. Notes has a
// window on 11 and one on 12; Mail is hidden; Stubborn's title bar has no close button; Pages and
// Ghost are not running, and Ghost never shows a window.
constexpr std::string_view actionsWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "name": "Studio Display", "main": true, "frame": [[0, 0], [2560, 1440]],
                "spaces": [{"id": 11}, {"id": 12}, {"id": 13}, {"id": 90, "fullscreen": true, "pid": 500}],
                "currentSpace": 11}],
  "apps": [
    {"name": "Notes", "bundleID": "com.apple.Notes", "path": "/Applications/Notes.app", "running": true, "pid": 100},
    {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "running": true, "pid": 200,
     "hidden": true},
    {"name": "Stubborn", "path": "/Applications/Stubborn.app", "running": true, "pid": 300,
     "titleBar": [{"role": "AXStaticText", "frame": [[200, 0], [300, 28]]}]},
    {"name": "Keynote", "path": "/Applications/Keynote.app", "running": true, "pid": 500},
    {"name": "Pages", "bundleID": "com.apple.iWork.Pages", "path": "/Applications/Pages.app",
     "opensWindows": [{"title": "Untitled"}]},
    {"name": "Ghost", "path": "/Applications/Ghost.app", "opensWindows": []}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Groceries", "frame": [[100, 100], [800, 500]], "spaces": [11]},
    {"id": 2, "pid": 100, "title": "Recipes", "frame": [[1000, 100], [800, 500]], "spaces": [12]},
    {"id": 3, "pid": 200, "title": "Inbox", "frame": [[100, 700], [800, 500]], "spaces": [11]},
    {"id": 4, "pid": 300, "title": "", "frame": [[1000, 700], [800, 500]], "spaces": [11]},
    {"id": 5, "pid": 100, "title": "Everywhere", "frame": [[1900, 100], [400, 300]], "spaces": [11, 12, 13]},
    {"id": 6, "pid": 500, "title": "Talk", "frame": [[0, 0], [2560, 1440]], "spaces": [90]}
  ]
})";

const PlannedApp pages{"/Applications/Pages.app", "Pages", "com.apple.iWork.Pages"};
const PlannedApp ghost{"/Applications/Ghost.app", "Ghost", std::nullopt};

class WindowActionsTest : public ::testing::Test {
protected:
    WindowActionsTest() {
        AppLauncher::forgetRecentlyOpened();
        live.world.mac().startTimeline(); // apps show their windows as time passes
    }

    const DisplayInfo& display() {
        live.inventory.refresh();
        return live.inventory.displays().front();
    }
    // The window as the Inventory lists it, or (for one it leaves out) as the world holds it.
    WindowInfo window(WindowID id) {
        live.inventory.refresh();
        for (const WindowInfo& w : live.inventory.windows())
            if (w.id == id) return w;
        const sim::Window& w = *sim::findWindow(live.world.world(), id);
        WindowInfo info;
        info.id = id;
        info.pid = w.pid;
        info.appName = "Mail";
        info.title = w.title;
        info.frame = w.frame;
        info.spaceIDs = w.spaces;
        return info;
    }
    const SpaceInfo& space(SpaceID id) {
        for (const SpaceInfo& s : display().spaces)
            if (s.id == id) return s;
        throw std::logic_error("no such space");
    }
    const sim::Window* simWindow(WindowID id) { return sim::findWindow(live.world.world(), id); }
    SpaceID showing() { return live.world.world().displays.front().currentSpace; }
    std::string headline() { return editor.report() ? editor.report()->headline.value_or("") : ""; }
    double seconds() { return std::chrono::duration<double>(live.world.loop().now()).count(); }

    void finish(const TaskHandle<>& handle) {
        live.world.loop().run();
        EXPECT_TRUE(handle.isDone());
    }

    LiveWorld live{actionsWorld};
    LayoutEditor editor;
    ShownSpaces shown;
    WindowActions actions{editor, testing::editorSystem(live), shown};
};

// ---- Desktop bookkeeping and lookups -------------------------------------------------------------

TEST_F(WindowActionsTest, PuttingWindowsOnTheShownDesktopFollowsWhatTheCanvasShows) {
    struct Case {
        const char* what;
        std::optional<SpaceID> shownEntry;
        std::optional<SpaceID> planned;    // the window's desktops entry afterwards
        std::optional<SpaceID> entryAfter; // the display's shownSpace entry afterwards
    };
    for (const Case& c : {Case{"the current desktop", std::nullopt, std::nullopt, std::nullopt},
                          Case{"another ordinary desktop", 12, 12, 12},
                          Case{"a desktop that was removed", 77, std::nullopt, std::nullopt},
                          Case{"a full-screen space", 90, std::nullopt, std::nullopt}}) {
        SCOPED_TRACE(c.what);
        editor.setDesktop(1, 13, display()); // a stale choice to be replaced
        shown.clear();
        if (c.shownEntry) shown["D1"] = *c.shownEntry;
        actions.putOnShownDesktop({1}, display());
        const auto entry = editor.desktops().find(1);
        EXPECT_EQ(entry == editor.desktops().end() ? std::nullopt : std::optional(entry->second), c.planned);
        const auto after = shown.find("D1");
        EXPECT_EQ(after == shown.end() ? std::nullopt : std::optional(after->second), c.entryAfter);
    }
}

TEST_F(WindowActionsTest, DesktopTargetsAreTheOtherOrdinaryDesktopsOfTheWindowsDisplay) {
    const auto targets = actions.desktopTargets(window(1));
    ASSERT_TRUE(targets);
    EXPECT_EQ(targets->display.uuid, "D1");
    std::vector<SpaceID> ids;
    for (const SpaceInfo& s : targets->spaces) ids.push_back(s.id);
    EXPECT_THAT(ids, ElementsAre(12u, 13u)); // neither its own nor the full-screen one

    EXPECT_FALSE(actions.desktopTargets(window(5))) << "on every desktop";
    const auto planned = editor.plan(pages, {100, 100, 800, 600}, std::nullopt);
    WindowInfo plannedWindow = editor.plannedWindows(live.inventory.displays()).front();
    EXPECT_EQ(plannedWindow.id, planned);
    EXPECT_FALSE(actions.desktopTargets(plannedWindow)) << "a planned app";
}

TEST_F(WindowActionsTest, ADisplayWithOneOrdinaryDesktopOffersOnlyANewOne) {
    LiveWorld single{R"({
      "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}]}],
      "apps": [{"name": "Notes", "path": "/Applications/Notes.app", "running": true, "pid": 100}],
      "windows": [{"id": 1, "pid": 100, "title": "Groceries", "frame": [[100, 100], [600, 400]], "spaces": [11]}]
    })"};
    WindowActions lone{editor, testing::editorSystem(single), shown};
    const auto targets = lone.desktopTargets(single.inventory.windows().front());
    ASSERT_TRUE(targets);
    EXPECT_THAT(targets->spaces, IsEmpty());
}

TEST_F(WindowActionsTest, SelectionListsWindowsInInventoryOrderThenPlannedApps) {
    const auto planned = *editor.plan(pages, {100, 100, 800, 600}, std::nullopt);
    editor.setMultiSelection({planned, 5, 1});
    std::vector<WindowID> ids;
    for (const WindowInfo& w : actions.selection()) ids.push_back(w.id);
    EXPECT_THAT(ids, ElementsAre(1u, 5u, planned));

    editor.setMultiSelection({});
    editor.setSelected(5);
    ASSERT_EQ(actions.selection().size(), 1u);
    EXPECT_EQ(actions.selection().front().id, 5u);
    editor.setSelected(std::nullopt);
    EXPECT_THAT(actions.selection(), IsEmpty());
}

TEST_F(WindowActionsTest, FetchNoteTellsOfAHiddenApp) {
    EXPECT_EQ(actions.fetchNote(window(3)), "Its app is hidden. Apply shows it.");
    EXPECT_EQ(actions.fetchNote(window(1)), std::nullopt);
    WindowInfo offscreen = window(1);
    offscreen.frame = {5000, 5000, 400, 300};
    EXPECT_EQ(actions.fetchNote(offscreen), std::nullopt) << "no display holds it";
}

// ---- Canvas-only actions -------------------------------------------------------------------------

TEST_F(WindowActionsTest, RemovingAMemberOfTheCommandSelectionRemovesTheWholeSelection) {
    editor.setArranging(true);
    editor.setPlaced({1, 4, 5});
    editor.setMultiSelection({1, 5});
    actions.remove(window(1));
    EXPECT_EQ(editor.placed(), (std::set<WindowID>{4}));

    editor.setMultiSelection({4});
    editor.setPlaced({1, 4, 5});
    actions.remove(window(5)); // not part of the ⌘-selection: only itself
    EXPECT_EQ(editor.placed(), (std::set<WindowID>{1, 4}));
}

TEST_F(WindowActionsTest, UndoMoveForgetsTheFrameAndKeepsThePlannedDesktop) {
    editor.place(1, {300, 300, 800, 500});
    editor.setDesktop(1, 12, display());
    actions.undoMove(window(1));
    EXPECT_FALSE(editor.pending().contains(1));
    EXPECT_EQ(editor.desktops().at(1), 12u);
    editor.undoEdit();
    EXPECT_TRUE(editor.pending().contains(1)) << "undoable like any canvas edit";
}

TEST_F(WindowActionsTest, TilingFromTheBarPlansEveryChosenWindowOntoTheShownDesktop) {
    editor.setMultiSelection({1, 4});
    shown["D1"] = 13;
    actions.tileSelection(TileAxis::columns);
    ASSERT_EQ(editor.tileGroups().size(), 1u);
    EXPECT_EQ(editor.desktops().at(1), 13u);
    EXPECT_EQ(editor.desktops().at(4), 13u);
}

// ---- Opening a planned app now -------------------------------------------------------------------

TEST_F(WindowActionsTest, OpenNowOpensThePlannedAppIntoItsFrameAndJoinsTheLayoutInArrangeMode) {
    editor.setArranging(true);
    const WindowID id = *editor.plan(pages, {200, 150, 900, 700}, std::nullopt);
    const auto handle = actions.openNow(editor.plannedWindows(live.inventory.displays()).front());
    EXPECT_EQ(headline(), "Opening Pages…");
    EXPECT_FALSE(editor.isPlanned(id));
    finish(handle);

    EXPECT_EQ(editor.report(), (Report{0, {}, "Opened Pages", std::nullopt, false}));
    const sim::Window& opened = live.world.world().windows.front();
    EXPECT_EQ(opened.title, "Untitled");
    EXPECT_EQ(opened.frame, Rect(200, 150, 900, 700));
    EXPECT_EQ(editor.placed(), (std::set<WindowID>{opened.id}));
}

TEST_F(WindowActionsTest, OpenNowOutsideArrangeModePlacesTheWindowAndAddsNothing) {
    editor.plan(pages, {200, 150, 900, 700}, std::nullopt);
    finish(actions.openNow(editor.plannedWindows(live.inventory.displays()).front()));
    EXPECT_EQ(headline(), "Opened Pages") << ::testing::PrintToString(editor.report()->notes);
    EXPECT_THAT(editor.placed(), IsEmpty());
}

TEST_F(WindowActionsTest, AFailedOpeningSaysItCouldNotOpenTheApp) {
    editor.plan(ghost, {200, 150, 900, 700}, std::nullopt);
    finish(actions.openNow(editor.plannedWindows(live.inventory.displays()).front()));
    ASSERT_TRUE(editor.report());
    EXPECT_EQ(headline(), "Couldn't open Ghost");
    EXPECT_TRUE(editor.report()->failed);
    EXPECT_EQ(editor.report()->notes.size(), 1u) << "the launcher's reason";
}

TEST_F(WindowActionsTest, OpenNowWithoutAPlannedAppOrFrameDoesNothing) {
    const auto handle = actions.openNow(window(1));
    EXPECT_FALSE(handle.isDone());
    EXPECT_EQ(editor.report(), std::nullopt);
}

// ---- Closing -------------------------------------------------------------------------------------

TEST_F(WindowActionsTest, ClosingAWindowThatGoesAtOnceReportsItAfterAboutTwoThirdsOfASecond) {
    editor.place(1, {300, 300, 800, 500});
    const auto handle = actions.close(window(1));
    EXPECT_EQ(headline(), "Closing Notes…");
    EXPECT_FALSE(editor.pending().contains(1)) << "it left the canvas at once";
    finish(handle);
    EXPECT_EQ(editor.report(), (Report{0, {}, "Closed Notes: Groceries", std::nullopt, false}));
    EXPECT_EQ(simWindow(1), nullptr);
    EXPECT_NEAR(seconds(), 0.65, 0.01);
}

TEST_F(WindowActionsTest, ClosingAWindowOnAnotherDesktopVisitsItAndComesBack) {
    finish(actions.close(window(2)));
    EXPECT_EQ(headline(), "Closed Notes: Recipes");
    EXPECT_EQ(simWindow(2), nullptr);
    EXPECT_EQ(showing(), 11u) << "the display shows the user's desktop again";
}

TEST_F(WindowActionsTest, ClosingAWindowOfAHiddenAppShowsTheAppFirst) {
    finish(actions.close(window(3)));
    EXPECT_EQ(headline(), "Closed Mail: Inbox");
    EXPECT_FALSE(sim::runningApp(live.world.world(), 200)->hidden);
}

TEST_F(WindowActionsTest, AWindowWithoutACloseButtonCannotBeClosed) {
    finish(actions.close(window(4)));
    EXPECT_EQ(editor.report(), (Report{0, {"It may have no close button, or the app didn't answer"},
                                       "Couldn't close Stubborn", std::nullopt, true}));
    EXPECT_NE(simWindow(4), nullptr);
}

TEST_F(WindowActionsTest, AWindowOnSeveralDesktopsNotShowingIsNotVisited) {
    live.world.mutableWorld().windows[1].spaces = {12, 13};
    finish(actions.close(window(2)));
    EXPECT_EQ(headline(), "Couldn't close Notes");
    EXPECT_TRUE(editor.report()->failed);
    EXPECT_NE(simWindow(2), nullptr);
    EXPECT_EQ(showing(), 11u);
}

// ---- Sending to desktops -------------------------------------------------------------------------

TEST_F(WindowActionsTest, SendingAWindowToAnotherDesktopReportsWhereItWent) {
    editor.place(1, {300, 300, 800, 500});
    editor.setSelected(1);
    shown["D1"] = 12;
    const auto handle = actions.moveToDesktop(window(1), space(12), display());
    EXPECT_FALSE(editor.pending().contains(1));
    EXPECT_EQ(editor.selected(), std::nullopt);
    finish(handle);
    EXPECT_EQ(editor.report(), (Report{0, {}, "Sent Notes to Desktop 2 on Studio Display", std::nullopt, false}));
    EXPECT_THAT(simWindow(1)->spaces, ElementsAre(12u));
    EXPECT_EQ(showing(), 11u);
    EXPECT_FALSE(shown.contains("D1")) << "the canvas shows the current desktop again";
}

TEST_F(WindowActionsTest, AWindowThatCannotBeReachedIsNotSent) {
    WindowInfo stray = window(1);
    stray.frame = {5000, 5000, 400, 300}; // on no display, and no longer listed
    stray.id = 99;
    finish(actions.moveToDesktop(stray, space(12), display()));
    EXPECT_EQ(editor.report(), (Report{0, {"Couldn't reach it on its desktop"}, "Couldn't move Notes to Desktop 2",
                                       std::nullopt, true}));
}

TEST_F(WindowActionsTest, ANewDesktopTakesTheCommandSelectedWindowsOfThatDisplay) {
    editor.place(4, {1000, 700, 800, 500});
    editor.setMultiSelection({1, 4});
    const auto handle = actions.moveToNewDesktop(window(1), display());
    EXPECT_EQ(headline(), "Adding a desktop to Studio Display…");
    EXPECT_THAT(editor.multiSelection(), IsEmpty());
    EXPECT_FALSE(editor.pending().contains(4));
    finish(handle);
    EXPECT_EQ(editor.report(),
              (Report{0, {}, "Added Desktop 4 on Studio Display and sent 2 windows there", std::nullopt, false}));
    SpaceID added = 0;
    for (const sim::Space& s : live.world.world().displays.front().spaces)
        if (s.id != 11 && s.id != 12 && s.id != 13 && s.id != 90) added = s.id;
    EXPECT_THAT(simWindow(1)->spaces, ElementsAre(added));
    EXPECT_THAT(simWindow(4)->spaces, ElementsAre(added));
    EXPECT_EQ(showing(), 11u);
}

TEST_F(WindowActionsTest, ANewDesktopForOneWindowNamesItsApp) {
    finish(actions.moveToNewDesktop(window(1), display()));
    EXPECT_EQ(headline(), "Added Desktop 4 on Studio Display and sent Notes there");
}

TEST_F(WindowActionsTest, ANewDesktopThatMissionControlDoesNotAddIsReported) {
    live.world.mutableWorld().accessibility = false;
    finish(actions.moveToNewDesktop(window(1), display()));
    EXPECT_EQ(editor.report(), (Report{0, {"Mission Control didn't add one"}, "Couldn't add a desktop", std::nullopt, true}));
}

} // namespace
} // namespace qw
