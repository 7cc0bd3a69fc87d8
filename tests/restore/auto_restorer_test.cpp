#include "restore/auto_restorer.h"

#include "editor/layout_editor.h"
#include "platform/sim/world.h"
#include "platform/user_defaults.h"
#include "restore/app_launcher.h"
#include "restore/live_editor_system.h"
#include "store/layout_store.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace qw {
namespace {

using testing::LiveWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A laptop with an external display on its right. Notes is open away from where the layout "Desk"
// keeps it; Calendar is installed and shows its window four seconds after it is opened; Ghost shows
// none.
std::string autoWorld(const std::string& timeline, const std::string& defaults = "{}") {
    return R"({
      "now": "2026-03-02T09:00:00Z",
      "displays": [
        {"id": 1, "uuid": "LAPTOP", "vendor": 1552, "model": 41001, "name": "Built-in Display", "main": true,
         "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}]},
        {"id": 2, "uuid": "EXTERNAL", "vendor": 4268, "model": 16700, "serial": 7, "name": "Studio Display",
         "frame": [[1440, 0], [1920, 1080]], "spaces": [{"id": 21}]}
      ],
      "apps": [
        {"name": "Notes", "bundleID": "com.apple.Notes", "path": "/Applications/Notes.app", "running": true, "pid": 100},
        {"name": "Calendar", "bundleID": "com.apple.iCal", "path": "/Applications/Calendar.app", "launchDelay": 4,
         "opensWindows": [{"title": "Calendar", "frame": [[200, 200], [800, 600]]}]},
        {"name": "Ghost", "bundleID": "com.example.Ghost", "path": "/Applications/Ghost.app", "opensWindows": []},
        {"name": "Helper", "bundleID": "com.example.Helper", "path": "/Applications/Helper.app", "regular": false}
      ],
      "windows": [
        {"id": 1, "pid": 100, "title": "Groceries", "frame": [[300, 300], [600, 400]], "spaces": [11]}
      ],
      "defaults": )" + defaults + R"(,
      "timeline": [)" + timeline + "]}";
}

const Rect notesHome{100, 100, 600, 400};

SavedWindow saved(std::string bundleID, std::string app, std::string title, std::string display, Rect frame) {
    SavedWindow w;
    w.bundleID = std::move(bundleID);
    w.appName = std::move(app);
    w.title = std::move(title);
    w.display = std::move(display);
    w.frame = frame;
    return w;
}
const Rect calendarHome{1600, 100, 800, 600};

// The clock as hours, minutes and seconds in UTC, so that each line tells when it was written.
std::string clockTime(WallTime time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &utc);
    return text;
}

class AutoRestorerTest : public ::testing::Test {
protected:
    explicit AutoRestorerTest(const std::string& timeline = "", const std::string& defaults = "{}")
        : live(autoWorld(timeline, defaults)), store(folder / "layouts.json") {
        AppLauncher::forgetRecentlyOpened();
    }

    // "Desk", marked for automatic restore, keeps Notes and Calendar where they belong.
    void saveDesk(bool autoRestore = true) {
        SavedLayout desk;
        desk.id = Uuid::random();
        desk.name = "Desk";
        desk.displays = {live.saved(0), live.saved(1)};
        desk.windows = {saved("com.apple.Notes", "Notes", "Groceries", "LAPTOP", notesHome),
                        saved("com.apple.iCal", "Calendar", "Calendar", "EXTERNAL", calendarHome)};
        desk.windows[1].zOrder = 1;
        desk.autoRestore = autoRestore;
        store.add(desk);
    }

    AutoRestorer& start() {
        restorer.emplace(testing::editorSystem(live), store, editor, true, clockTime);
        runs = restorer->observeLastRun([this](const std::optional<std::string>& line) {
            if (line) lines.push_back(*line);
        });
        live.world.mac().startTimeline();
        return *restorer;
    }
    void play() { live.world.loop().run(); }

    const sim::Window* window(WindowID id) { return sim::findWindow(live.world.world(), id); }
    const sim::Window* windowOf(ProcessID pid) {
        for (const sim::Window& w : live.world.world().windows)
            if (w.pid == pid) return &w;
        return nullptr;
    }
    ProcessID pidOf(const std::string& path) {
        for (const sim::App& app : live.world.world().apps)
            if (app.path == path) return app.pid;
        return 0;
    }
    std::optional<std::string> headline() { return editor.report() ? editor.report()->headline : std::nullopt; }

    test_support::TempFolder folder;
    LiveWorld live;
    LayoutStore store;
    LayoutEditor editor;
    std::optional<AutoRestorer> restorer;
    std::vector<std::string> lines;
    Subscription runs;
};

// Each scenario's timeline, as the world file would hold it.
class DisplayBurst : public AutoRestorerTest {
protected:
    DisplayBurst()
        : AutoRestorerTest(R"({"at": 1, "event": "moveDisplay", "id": 2, "frame": [[1440, 100], [1920, 1080]]},
                              {"at": 2, "event": "moveDisplay", "id": 2, "frame": [[1440, 200], [1920, 1080]]},
                              {"at": 3, "event": "moveDisplay", "id": 2, "frame": [[1440, 300], [1920, 1080]]})") {}
};

TEST_F(DisplayBurst, ThreeChangesOneSecondApartGiveOneRunThreeSecondsAfterTheLast) {
    saveDesk();
    start();
    play();
    EXPECT_THAT(lines, ElementsAre("09:00:06: Moved 1 window. Auto-restored “Desk” for these displays"));
    EXPECT_EQ(window(1)->frame, notesHome);
    ASSERT_TRUE(editor.report());
    EXPECT_EQ(editor.report()->context, "Auto-restored “Desk” for these displays");
    EXPECT_FALSE(restorer->isFullRestoreScheduled());
}

TEST_F(DisplayBurst, UnsavedEditorWorkSkipsTheRunAndLeavesTheEditorAlone) {
    saveDesk();
    editor.place(1, {500, 500, 600, 400});
    const auto before = editor.editState();
    start();
    play();
    EXPECT_THAT(lines,
                ElementsAre("09:00:06: skipped “Desk” for these displays; the editor has unapplied changes"));
    EXPECT_EQ(editor.editState(), before);
    EXPECT_EQ(editor.report(), std::nullopt);
    EXPECT_EQ(window(1)->frame, Rect(300, 300, 600, 400));
}

TEST_F(DisplayBurst, NothingHappensWithoutALayoutMarkedForTheseDisplays) {
    saveDesk(false);
    start();
    play();
    EXPECT_THAT(lines, IsEmpty());
    EXPECT_EQ(editor.report(), std::nullopt);
}

TEST_F(DisplayBurst, TurningItOffStopsNewEventsAndScheduledRuns) {
    saveDesk();
    start();
    live.world.loop().runFor(std::chrono::milliseconds(2500)); // two changes in, a run scheduled
    restorer->setEnabled(false);
    play();
    EXPECT_THAT(lines, IsEmpty());
    EXPECT_EQ(window(1)->frame, Rect(300, 300, 600, 400));
    EXPECT_EQ(live.world.world().defaults.at("autoRestoreEnabled"), platform::PropertyValue(false));
}

class WakeThenDisplayChange : public AutoRestorerTest {
protected:
    WakeThenDisplayChange()
        : AutoRestorerTest(R"({"at": 0.5, "event": "sleep"}, {"at": 1, "event": "wake"},
                              {"at": 3, "event": "moveDisplay", "id": 2, "frame": [[1440, 0], [1920, 1080]]})") {}
};

TEST_F(WakeThenDisplayChange, GivesOneRunFourSecondsAfterTheChangeAsAWake) {
    saveDesk();
    start();
    play();
    // The display came back where it was, yet it changed after the wake: no same-displays shortcut.
    EXPECT_THAT(lines, ElementsAre("09:00:07: Moved 1 window. Auto-restored “Desk” after wake"));
    EXPECT_EQ(window(1)->frame, notesHome);
}

class WakeAlone : public AutoRestorerTest {
protected:
    WakeAlone() : AutoRestorerTest(R"({"at": 1, "event": "sleep"}, {"at": 2, "event": "wake"})") {}
};

TEST_F(WakeAlone, WithTheSameDisplaysLeavesWindowsWhereTheyWere) {
    saveDesk();
    start();
    play();
    EXPECT_THAT(lines, ElementsAre("09:00:06: woke with the same displays; left windows where they were"));
    EXPECT_EQ(window(1)->frame, Rect(300, 300, 600, 400));
    EXPECT_EQ(editor.report(), std::nullopt);
}

TEST_F(WakeAlone, WithoutAMarkedLayoutSaysNothing) {
    start();
    play();
    EXPECT_THAT(lines, IsEmpty());
}

class DisplayMovedAndBack : public AutoRestorerTest {
protected:
    DisplayMovedAndBack()
        : AutoRestorerTest(R"({"at": 1, "event": "moveDisplay", "id": 2, "frame": [[1440, 300], [1920, 1080]]},
                              {"at": 2, "event": "moveDisplay", "id": 2, "frame": [[1440, 0], [1920, 1080]]})") {}
};

TEST_F(DisplayMovedAndBack, AChangeEndingInTheSameArrangementDoesNothing) {
    saveDesk();
    start();
    play();
    EXPECT_THAT(lines, IsEmpty());
    EXPECT_EQ(window(1)->frame, Rect(300, 300, 600, 400));
}

TEST(AutoRestorerSwitch, IsOnUnlessTheDefaultsHoldFalse) {
    struct Case {
        const char* defaults;
        bool enabled;
    };
    for (const Case& c : {Case{"{}", true}, Case{R"({"autoRestoreEnabled": false})", false},
                          Case{R"({"autoRestoreEnabled": true})", true}, Case{R"({"autoRestoreEnabled": "no"})", true}}) {
        SCOPED_TRACE(c.defaults);
        test_support::TempFolder folder;
        LiveWorld live(autoWorld("", c.defaults));
        LayoutStore store(folder / "layouts.json");
        LayoutEditor editor;
        AutoRestorer restorer(testing::editorSystem(live), store, editor, false);
        EXPECT_EQ(restorer.isEnabled(), c.enabled);
    }
}

// ---- App launches --------------------------------------------------------------------------------

class CalendarLaunch : public AutoRestorerTest {
protected:
    CalendarLaunch() : AutoRestorerTest(R"({"at": 1, "event": "launchApp", "path": "/Applications/Calendar.app"})") {}
};

TEST_F(CalendarLaunch, AWindowThatAppearsAfterFourSecondsIsRestoredAtTheSixSecondCheck) {
    saveDesk();
    start();
    play();
    EXPECT_THAT(lines, ElementsAre("09:00:07: Moved 1 window. Auto-restored Calendar from “Desk”"));
    const sim::Window* calendar = windowOf(pidOf("/Applications/Calendar.app"));
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->frame, calendarHome);
    EXPECT_EQ(window(1)->frame, Rect(300, 300, 600, 400)) << "only the launched app's windows";
    EXPECT_EQ(restorer->scheduledAppRestores(), 0u);
}

TEST_F(CalendarLaunch, AnAppQuiltwrightOpenedItselfIsLeftAlone) {
    saveDesk();
    AppLauncher::noteOpened("com.apple.iCal", live.world.loop().wallTime() + std::chrono::seconds(1));
    start();
    play();
    EXPECT_THAT(lines, IsEmpty());
    EXPECT_EQ(editor.report(), std::nullopt);
}

TEST_F(CalendarLaunch, UnsavedEditorWorkMakesALaunchDoNothingAtAll) {
    saveDesk();
    editor.place(1, {500, 500, 600, 400});
    start();
    play();
    EXPECT_THAT(lines, IsEmpty());
    EXPECT_EQ(editor.report(), std::nullopt);
    EXPECT_EQ(restorer->scheduledAppRestores(), 0u);
}

TEST_F(CalendarLaunch, AWindowAlreadyInPlaceIsSaidToBeInPlace) {
    saveDesk();
    auto desk = store.layouts().front();
    desk.windows[1].frame = Rect(200, 200, 800, 600); // where Calendar opens on the laptop
    desk.windows[1].display = "LAPTOP";
    store.replace(desk);
    start();
    play();
    EXPECT_THAT(lines, ElementsAre("09:00:07: “Desk” is already in place. Auto-restored Calendar from “Desk”"));
}

class GhostLaunch : public AutoRestorerTest {
protected:
    GhostLaunch() : AutoRestorerTest(R"({"at": 1, "event": "launchApp", "path": "/Applications/Ghost.app"})") {}
};

TEST_F(GhostLaunch, AnAppWhoseWindowsNeverShowIsForgottenAfterTheLastCheck) {
    saveDesk();
    auto desk = store.layouts().front();
    desk.windows.push_back(saved("com.example.Ghost", "Ghost", "Boo", "LAPTOP", notesHome));
    store.replace(desk);
    start();
    live.world.loop().runFor(std::chrono::seconds(5));
    EXPECT_EQ(restorer->scheduledAppRestores(), 1u) << "still looking after the three-second check";
    play();
    EXPECT_EQ(restorer->scheduledAppRestores(), 0u);
    EXPECT_THAT(lines, IsEmpty());
    EXPECT_DOUBLE_EQ(toSeconds(live.world.loop().now()), 7.0) << "the last look was six seconds after the launch";
}

class TwoLaunches : public AutoRestorerTest {
protected:
    TwoLaunches()
        : AutoRestorerTest(R"({"at": 1, "event": "launchApp", "path": "/Applications/Helper.app"},
                              {"at": 2, "event": "launchApp", "path": "/Applications/Calendar.app"})") {}
};

TEST_F(TwoLaunches, OnlyRegularAppsAreWatched) {
    saveDesk();
    start();
    live.world.loop().runFor(std::chrono::milliseconds(1500));
    EXPECT_EQ(restorer->scheduledAppRestores(), 0u) << "a menu-bar helper";
    live.world.loop().runFor(std::chrono::seconds(1));
    EXPECT_EQ(restorer->scheduledAppRestores(), 1u);
}

// ---- Restoring without permission ----------------------------------------------------------------

TEST_F(DisplayBurst, WithoutAccessibilityNothingIsChangedAndTheReportSaysWhy) {
    saveDesk();
    live.world.mutableWorld().accessibility = false;
    start();
    play();
    EXPECT_EQ(editor.report(),
              (Report{0, {}, "Quiltwright needs Accessibility permission to restore “Desk”. Nothing was changed",
                      "Auto-restored “Desk” for these displays", true}));
    EXPECT_THAT(lines, ElementsAre("09:00:06: Quiltwright needs Accessibility permission to restore “Desk”. Nothing "
                                   "was changed. Auto-restored “Desk” for these displays"));
}

TEST(AutoRestorerArrangement, NamesEachMonitorWithItsPlaceAndIgnoresListOrder) {
    DisplayInfo a;
    a.key = {1, 2, 3};
    a.frame = {0, 0, 1440, 900};
    DisplayInfo b;
    b.key = {4, 5, 6};
    b.frame = {1440, 0.5, 1920, 1080};
    EXPECT_THAT(AutoRestorer::arrangement({b, a}), ElementsAre("1-2-3@0,0,1440,900", "4-5-6@1440,0.5,1920,1080"));
    EXPECT_EQ(AutoRestorer::arrangement({a, b}), AutoRestorer::arrangement({b, a}));
}

} // namespace
} // namespace qw
