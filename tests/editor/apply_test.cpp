#include "editor/editor_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qw {
namespace {

using testing::EditorWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// One display showing desktop 11 of 11, 12 and 13. Mail has two windows; Notes, Music and Safari
// one each; Photos is hidden; Pages is installed but not running.
constexpr std::string_view applyWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11}, {"id": 12}, {"id": 13}], "currentSpace": 11}],
  "apps": [
    {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 100},
    {"name": "Notes", "bundleID": "com.apple.Notes", "path": "/Applications/Notes.app", "pid": 200},
    {"name": "Music", "bundleID": "com.apple.Music", "path": "/Applications/Music.app", "pid": 300},
    {"name": "Safari", "bundleID": "com.apple.Safari", "path": "/Applications/Safari.app", "pid": 400},
    {"name": "Photos", "bundleID": "com.apple.Photos", "path": "/Applications/Photos.app", "pid": 500, "hidden": true},
    {"name": "Pages", "bundleID": "com.apple.iWork.Pages", "path": "/Applications/Pages.app",
     "opensWindows": [{"title": "Untitled", "frame": [[300, 300], [500, 400]]}]}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Inbox", "frame": [[100, 100], [600, 400]], "spaces": [11]},
    {"id": 5, "pid": 100, "title": "Drafts", "frame": [[150, 150], [600, 400]], "spaces": [11]},
    {"id": 2, "pid": 200, "title": "List", "frame": [[700, 100], [600, 400]], "spaces": [11]},
    {"id": 3, "pid": 300, "title": "Music", "frame": [[200, 300], [600, 400]], "spaces": [11]},
    {"id": 4, "pid": 400, "title": "Start", "frame": [[300, 200], [600, 400]], "spaces": [11]},
    {"id": 6, "pid": 500, "title": "Library", "frame": [[400, 200], [600, 400]], "spaces": [11]},
    {"id": 7, "pid": 200, "title": "Far", "frame": [[100, 100], [600, 400]], "spaces": [13]},
    {"id": 8, "pid": 400, "title": "Near", "frame": [[100, 100], [600, 400]], "spaces": [12]}
  ]
})";

const Rect left(0, 25, 720, 875);
const Rect right(720, 25, 720, 875);
const PlannedApp pages{"/Applications/Pages.app", "Pages", "com.apple.iWork.Pages"};

class ApplyTest : public ::testing::Test {
protected:
    const DisplayInfo& display() const { return w.live.inventory.displays().front(); }

    EditorWorld w{applyWorld};
    LayoutEditor& editor = w.editor;
};

TEST_F(ApplyTest, AnEmptyCanvasMovesNothingAndEmptiesTheUndoState) {
    editor.setUndoHiddenApps({300});
    editor.apply(w.system, std::nullopt, std::nullopt);
    EXPECT_EQ(w.report(), (Report{0, {}, std::nullopt, std::nullopt, false}));
    EXPECT_FALSE(editor.isFinishingApply());
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(ApplyTest, MovesThePendingWindowsAndUndoPutsThemBack) {
    editor.place(1, left);
    editor.place(2, right);
    editor.apply(w.system, std::nullopt, std::nullopt);

    EXPECT_EQ(w.report().summary(), "Moved 2 windows");
    EXPECT_THAT(w.report().notes, IsEmpty());
    EXPECT_EQ(w.window(1).frame, left);
    EXPECT_EQ(w.window(2).frame, right);
    EXPECT_FALSE(editor.isFinishingApply());
    // The canvas is clean; what was placed stays placed.
    EXPECT_THAT(editor.pending(), IsEmpty());
    EXPECT_TRUE(editor.history().empty());
    EXPECT_EQ(editor.placed(), (std::set<WindowID>{1, 2}));
    ASSERT_TRUE(editor.canUndo());

    editor.undo(w.system);
    EXPECT_EQ(w.window(1).frame, Rect(100, 100, 600, 400));
    EXPECT_EQ(w.window(2).frame, Rect(700, 100, 600, 400));
    EXPECT_THAT(w.report().notes, ElementsAre("Undid last apply"));
    EXPECT_EQ(w.report().summary(), "Moved 2 windows");
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(ApplyTest, HidesOtherAppsMinimizesOtherWindowsAndUndoBringsThemBack) {
    editor.place(1, left);
    editor.apply(w.system, std::set<WindowID>{1}, std::nullopt);

    EXPECT_EQ(w.report().notes.front(), "Hid 3 other apps and minimized 1 other window (Undo Apply brings them back)");
    EXPECT_EQ(w.report().summary(), "Moved 1 window");
    EXPECT_TRUE(w.app(200).hidden);
    EXPECT_TRUE(w.app(300).hidden);
    EXPECT_TRUE(w.app(400).hidden);
    EXPECT_TRUE(w.window(5).minimized);
    EXPECT_FALSE(w.window(1).minimized);
    EXPECT_THAT(editor.undoHiddenApps(), ElementsAre(200, 300, 400));

    const Duration before = w.loop().now();
    editor.undo(w.system);
    EXPECT_GE(w.loop().now() - before, fromSeconds(0.3)); // the pause before reading the windows again
    EXPECT_EQ(w.report().notes.front(), "Undid last apply and brought back what it hid");
    EXPECT_EQ(w.report().summary(), "Moved 1 window");
    EXPECT_FALSE(w.app(200).hidden);
    EXPECT_FALSE(w.app(400).hidden);
    EXPECT_FALSE(w.window(5).minimized);
    EXPECT_TRUE(w.app(500).hidden); // hidden before the apply, so it stays hidden
    EXPECT_EQ(w.window(1).frame, Rect(100, 100, 600, 400));
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(ApplyTest, HidingWithinAScopeAndNothingMovedSaysLayoutApplied) {
    editor.apply(w.system, std::set<WindowID>{2}, std::set<ProcessID>{300});
    EXPECT_EQ(w.report().summary(), "Layout applied");
    EXPECT_THAT(w.report().notes, ElementsAre("Hid 1 other app (Undo Apply brings them back)"));
    EXPECT_TRUE(w.app(300).hidden);
    EXPECT_FALSE(w.app(100).hidden);
    EXPECT_FALSE(w.app(400).hidden);
}

TEST_F(ApplyTest, HidesNothingWhenNoneOfTheLayoutsWindowsIsOpen) {
    editor.apply(w.system, std::set<WindowID>{77}, std::nullopt);
    EXPECT_EQ(w.report().summary(), "Moved 0 windows");
    EXPECT_THAT(w.report().notes, ElementsAre("Didn't hide other apps: none of the layout's windows are open"));
    EXPECT_FALSE(w.app(200).hidden);
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(ApplyTest, ShowsTheHiddenAppOfALayoutWindowBeforeMovingIt) {
    // The Inventory leaves out the windows of hidden apps; apply finds the owner in the full list.
    editor.place(6, right);
    const Duration before = w.loop().now();
    editor.apply(w.system, std::nullopt, std::nullopt);
    EXPECT_GE(w.loop().now() - before, fromSeconds(0.4));
    EXPECT_FALSE(w.app(500).hidden);
    EXPECT_EQ(w.window(6).frame, right);
    EXPECT_EQ(w.report().summary(), "Moved 1 window");
    EXPECT_THAT(w.report().notes, ElementsAre("Showed Photos, hidden before"));
}

TEST_F(ApplyTest, WithoutAccessibilityNothingChanges) {
    w.live.world.mutableWorld().accessibility = false;
    editor.place(1, left);
    editor.apply(w.system, std::nullopt, std::nullopt);
    EXPECT_EQ(w.report(), (Report{0,
                                  {"Allow it in System Settings › Privacy & Security › Accessibility, then Apply again"},
                                  "Quiltwright needs Accessibility permission to move windows. Nothing was changed",
                                  std::nullopt, true}));
    EXPECT_EQ(editor.pending().size(), 1u);
    EXPECT_EQ(w.window(1).frame, Rect(100, 100, 600, 400));
}

TEST_F(ApplyTest, OpensAPlannedAppAfterTheMoves) {
    editor.place(1, left);
    editor.place(2, right);
    const auto id = editor.plan(pages, Rect(200, 100, 800, 600), std::nullopt);
    editor.apply(w.system, std::nullopt, std::nullopt);

    EXPECT_EQ(w.report().summary(), "Moved 2 windows; opening Pages…");
    EXPECT_TRUE(editor.plannedApps().empty());
    EXPECT_FALSE(editor.placed().contains(*id));
    ASSERT_TRUE(editor.isFinishingApply());
    w.finish();

    EXPECT_EQ(w.report().summary(), "Moved 2 windows and opened Pages");
    EXPECT_EQ(w.report().moved, 3);
    EXPECT_FALSE(w.report().failed);
    const auto& pagesWindow = w.world().windows.front(); // opened windows come in front
    EXPECT_EQ(pagesWindow.title, "Untitled");
    EXPECT_EQ(pagesWindow.frame, Rect(200, 100, 800, 600));
    // Only the synchronous moves can be undone.
    EXPECT_EQ(editor.undoFrames().size(), 2u);
}

TEST_F(ApplyTest, SendsAWindowToItsDesktop) {
    editor.setDesktop(1, 12, display());
    editor.apply(w.system, std::nullopt, std::nullopt);
    EXPECT_EQ(w.report().summary(), "Sending windows to their desktops…");
    w.finish();

    EXPECT_EQ(w.report().summary(), "Sent Mail to Desktop 2");
    EXPECT_EQ(w.report().moved, 0);
    EXPECT_THAT(w.window(1).spaces, ElementsAre(12u));
    EXPECT_EQ(w.world().displays.front().currentSpace, 11u);
}

// A window that ends where it was has not moved: placed where it already is, or already back
// where undo would put it.
TEST_F(ApplyTest, AWindowThatEndsWhereItWasIsNotCountedAsMovedNorUndone) {
    editor.place(1, Rect(100, 100, 600, 400)); // where it is
    editor.place(2, right);
    editor.apply(w.system, std::nullopt, std::nullopt);
    EXPECT_EQ(w.report().summary(), "Moved 1 window");
    EXPECT_EQ(editor.undoFrames(), (FrameMap{{2, Rect(700, 100, 600, 400)}}));

    // The user drags it back before undoing: undo finds nothing to move.
    w.live.world.mac().addEvent({0, sim::events::MoveWindow{2, Rect(700, 100, 600, 400)}});
    w.loop().runFor(std::chrono::milliseconds(10));
    editor.undo(w.system);
    EXPECT_EQ(w.report().summary(), "Moved 0 windows");
}

TEST(ApplyKeptInPlaceTest, AWindowItsAppKeepsWhereItWasIsNotCountedAsMoved) {
    EditorWorld w(R"({
      "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]]}],
      "apps": [{"name": "Xcode", "bundleID": "com.apple.dt.Xcode", "path": "/Applications/Xcode.app", "pid": 100,
                "fixedSize": true, "offset": [0, 3]}],
      "windows": [{"id": 1, "pid": 100, "title": "Project", "frame": [[100, 103], [600, 400]]}]
    })");
    w.editor.place(1, Rect(100, 100, 800, 500)); // lands 3 points lower, at its fixed size: where it is
    w.editor.apply(w.system, std::nullopt, std::nullopt);
    EXPECT_EQ(w.report().moved, 0);
    EXPECT_THAT(w.report().notes, ElementsAre("Xcode has a fixed size, so it was moved but not resized"));
    EXPECT_FALSE(w.editor.canUndo());
}

TEST_F(ApplyTest, AWindowThatClosesWhileItsDesktopIsShownIsNotCountedAsBrought) {
    editor.place(7, left); // on desktop 13
    editor.apply(w.system, std::nullopt, std::nullopt);
    w.live.world.mac().addEvent({0.05, sim::events::CloseWindow{7}});
    w.finish();
    EXPECT_EQ(w.report().moved, 0);
    EXPECT_THAT(w.report().notes, ElementsAre("Notes closed before it could be moved"));
}

// An app that shows no window of its own takes, after a while, the window of an app launched
// meanwhile (as it would its launcher's real app); when that app is opened next, its window is
// placed again, but it is one window moved.
TEST(ApplyOpeningsTest, TwoOpeningsThatEndOnOneWindowCountItOnce) {
    EditorWorld w(R"({
      "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]]}],
      "apps": [
        {"name": "Stub", "bundleID": "com.example.Stub", "path": "/Applications/Stub.app", "opensWindows": []},
        {"name": "Pages", "bundleID": "com.apple.iWork.Pages", "path": "/Applications/Pages.app",
         "opensWindows": [{"title": "Untitled", "frame": [[300, 300], [500, 400]]}]}
      ]
    })");
    w.editor.plan(PlannedApp{"/Applications/Stub.app", "Stub", "com.example.Stub"}, Rect(0, 25, 720, 875), std::nullopt);
    w.editor.plan(pages, Rect(720, 25, 720, 875), std::nullopt);
    w.editor.apply(w.system, std::nullopt, std::nullopt);
    w.live.world.mac().addEvent({0.5, sim::events::LaunchApp{"/Applications/Pages.app"}}); // the user opens Pages
    w.finish();

    EXPECT_EQ(w.report().summary(), "Opened Stub, Pages");
    EXPECT_EQ(w.report().moved, 1);
    EXPECT_EQ(w.world().windows.size(), 1u);
}

TEST_F(ApplyTest, FetchesDesktopByDesktopAndShowsTheUsersDesktopAgain) {
    editor.place(7, left);  // on desktop 13
    editor.place(8, right); // on desktop 12
    editor.apply(w.system, std::nullopt, std::nullopt);
    EXPECT_EQ(w.report().summary(), "Bringing windows from other desktops…");
    w.finish();

    EXPECT_EQ(w.report().summary(), "Brought Safari, Notes from other desktops");
    EXPECT_EQ(w.report().moved, 2);
    EXPECT_THAT(w.report().notes, IsEmpty());
    EXPECT_THAT(w.window(7).spaces, ElementsAre(11u));
    EXPECT_THAT(w.window(8).spaces, ElementsAre(11u));
    EXPECT_EQ(w.window(7).frame, left);
    EXPECT_EQ(w.window(8).frame, right);
    EXPECT_EQ(w.world().displays.front().currentSpace, 11u);
}

TEST_F(ApplyTest, AnOpeningThatFailsEndsWithNothingOpened) {
    editor.plan(PlannedApp{"/Applications/Gone.app", "Gone", std::nullopt}, left, std::nullopt);
    editor.apply(w.system, std::nullopt, std::nullopt);
    EXPECT_EQ(w.report().summary(), "Opening Gone…");
    w.finish();
    EXPECT_EQ(w.report().summary(), "Nothing opened");
    EXPECT_TRUE(w.report().failed);
    ASSERT_EQ(w.report().notes.size(), 1u);
    EXPECT_THAT(w.report().notes.front(), ::testing::StartsWith("Gone: "));
}

} // namespace
} // namespace qw

namespace qw {
namespace {

// Pages cannot be dragged by its title bar, and the user switches back to desktop 11 while it is
// starting, so its window opens there instead of on desktop 12.
constexpr std::string_view stubbornWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11}, {"id": 12}], "currentSpace": 11}],
  "apps": [{"name": "Pages", "bundleID": "com.apple.iWork.Pages", "path": "/Applications/Pages.app",
            "undraggable": true, "launchDelay": 2}],
  "timeline": [{"at": 3, "event": "showDesktop", "display": 1, "space": 11}]
})";

TEST(ApplyOpeningTest, AFreshlyOpenedWindowIsTriedTwiceBeforeItsNote) {
    EditorWorld w{stubbornWorld};
    const auto& display = w.live.inventory.displays().front();
    const auto id = w.editor.plan(PlannedApp{"/Applications/Pages.app", "Pages", "com.apple.iWork.Pages"},
                                  Rect(100, 100, 500, 400), SpaceID{12});
    ASSERT_TRUE(id);
    EXPECT_EQ(w.editor.desktop(*id, display), 12u);
    w.editor.apply(w.system, std::nullopt, std::nullopt);
    const double seconds = w.finish();

    EXPECT_EQ(w.report().summary(), "Opened Pages");
    ASSERT_EQ(w.report().notes.size(), 1u) << w.report().summary();
    EXPECT_THAT(w.report().notes.front(), ::testing::StartsWith("Pages stayed on this desktop: "));
    EXPECT_GE(seconds, 0.8 + 1.5);
}

} // namespace
} // namespace qw
