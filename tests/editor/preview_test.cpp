#include "editor/editor_world.h"
#include "store/layout_store.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qw {
namespace {

using testing::EditorWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// One display showing desktop 11. Mail and Notes run with a window each (Notes has two saved);
// Pages is installed but not running.
constexpr std::string_view previewWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "name": "Studio", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11}, {"id": 12}], "currentSpace": 11}],
  "apps": [
    {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 100},
    {"name": "Notes", "bundleID": "com.apple.Notes", "path": "/Applications/Notes.app", "pid": 200},
    {"name": "Safari", "bundleID": "com.apple.Safari", "path": "/Applications/Safari.app", "pid": 300},
    {"name": "Pages", "bundleID": "com.apple.iWork.Pages", "path": "/Applications/Pages.app"}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Inbox", "frame": [[100, 100], [600, 400]], "spaces": [11]},
    {"id": 2, "pid": 200, "title": "List", "frame": [[700, 100], [600, 400]], "spaces": [11]},
    {"id": 3, "pid": 300, "title": "Start", "frame": [[300, 300], [600, 400]], "spaces": [11]}
  ]
})";

SavedWindow saved(std::string app, std::string bundleID, std::string title, Rect frame, std::string display = "D1") {
    SavedWindow window;
    window.appName = std::move(app);
    window.bundleID = std::move(bundleID);
    window.title = std::move(title);
    window.display = std::move(display);
    window.frame = frame;
    window.spaceIndex = 1;
    return window;
}

class PreviewTest : public ::testing::Test {
protected:
    PreviewTest() : store(folder.path() / "layouts.json") {}

    // A layout named Work on the connected display with the given windows.
    SavedLayout work(std::vector<SavedWindow> windows) {
        SavedLayout layout;
        layout.id = Uuid::random();
        layout.name = "Work";
        layout.displays = {w.live.saved(0)};
        layout.windows = std::move(windows);
        return layout;
    }
    SavedWindow mailAt(Rect frame) { return saved("Mail", "com.apple.mail", "Inbox", frame); }
    SavedWindow notesAt(Rect frame) { return saved("Notes", "com.apple.Notes", "List", frame); }
    SavedWindow pagesAt(Rect frame, std::string title) {
        auto window = saved("Pages", "com.apple.iWork.Pages", std::move(title), frame);
        window.appPath = "/Applications/Pages.app";
        return window;
    }
    SavedWindow safariAt(Rect frame) { return saved("Safari", "com.apple.Safari", "Start", frame); }

    EditorWorld w{previewWorld};
    LayoutEditor& editor = w.editor;
    test_support::TempFolder folder;
    LayoutStore store;
};

const Rect mailHome(100, 100, 600, 400);
const Rect notesHome(700, 100, 600, 400);
const Rect safariHome(300, 300, 600, 400);

TEST_F(PreviewTest, StagingTellsWhatWouldMoveAndOpen) {
    const auto layout = work({mailAt({0, 25, 700, 500}), notesAt({700, 25, 700, 500}), pagesAt({100, 200, 800, 600}, "Draft")});
    editor.stage(layout, w.system);

    EXPECT_EQ(w.report().summary(), "Previewing “Work”: 2 windows to move, Pages to open. Nothing has moved yet");
    EXPECT_EQ(editor.previewing(), layout.id);
    EXPECT_TRUE(editor.arranging());
    EXPECT_EQ(editor.arrangingBeforePreview(), false);
    ASSERT_EQ(editor.plannedApps().size(), 1u);
    const WindowID planned = editor.plannedApps().begin()->first;
    EXPECT_EQ(editor.placed(), (std::set<WindowID>{1, 2, planned}));
    EXPECT_TRUE(editor.history().empty());
    EXPECT_FALSE(editor.previewEdited());
    EXPECT_EQ(w.window(1).frame, mailHome); // nothing moved
}

TEST_F(PreviewTest, StagingALayoutThatIsInPlace) {
    editor.stage(work({mailAt(mailHome), notesAt(notesHome), safariAt(safariHome)}), w.system);
    EXPECT_EQ(w.report().summary(), "Previewing “Work”: everything is already in place");
    EXPECT_EQ(w.report().notes.front(), "3 already in place");

    editor.stage(work({mailAt({0, 25, 700, 500}), notesAt(notesHome)}), w.system);
    EXPECT_EQ(w.report().summary(), "Previewing “Work”: 1 window to move. Nothing has moved yet");
    EXPECT_THAT(w.report().notes, ElementsAre("1 already in place"));
}

TEST_F(PreviewTest, ApplyingAPreviewGoesBackToTheModeBeforeIt) {
    // From the Live situation: back there with nothing placed.
    editor.stage(work({mailAt({0, 25, 700, 500})}), w.system);
    editor.applySavingEdits(store, w.system, std::nullopt);
    EXPECT_FALSE(editor.arranging());
    EXPECT_THAT(editor.placed(), IsEmpty());
    EXPECT_FALSE(editor.previewing());
    EXPECT_EQ(w.window(1).frame, Rect(0, 25, 700, 500));

    // From a new layout in Arrange mode: still arranging, with what was staged less the planned apps.
    editor.newLayoutFromCurrentWindows(w.live.inventory);
    editor.stage(work({mailAt(mailHome), pagesAt({100, 200, 800, 600}, "Draft")}), w.system);
    editor.applySavingEdits(store, w.system, std::nullopt);
    EXPECT_TRUE(editor.arranging());
    EXPECT_EQ(editor.placed(), (std::set<WindowID>{1}));
    w.finish();
}

TEST_F(PreviewTest, CancellingEmptiesTheCanvasAndStagingAnotherDropsEdits) {
    const auto a = work({mailAt({0, 25, 700, 500})});
    editor.stage(a, w.system);
    editor.place(1, {50, 50, 500, 500});
    EXPECT_TRUE(editor.previewEdited());
    editor.stage(work({notesAt({0, 25, 700, 500})}), w.system);
    EXPECT_FALSE(editor.previewEdited());
    EXPECT_FALSE(editor.pending().contains(1));
    editor.revert();
    EXPECT_THAT(editor.pending(), IsEmpty());
    EXPECT_THAT(editor.placed(), IsEmpty());
    EXPECT_FALSE(editor.arranging());
}

TEST_F(PreviewTest, RestoreIsRefusedWhileTheCanvasHasUnsavedWork) {
    editor.place(1, {0, 25, 700, 500});
    editor.restore(work({notesAt({0, 25, 700, 500})}), w.system, "Displays changed", true, true);
    EXPECT_EQ(w.report(), (Report{0,
                                  {"Save, Apply or Cancel what's on the canvas first"},
                                  "Didn't restore “Work”: the editor has unsaved changes",
                                  "Displays changed", true}));
    EXPECT_EQ(w.window(2).frame, notesHome);
    EXPECT_EQ(editor.pending().size(), 1u);
}

TEST_F(PreviewTest, RestoreWithoutAccessibilityIsRefused) {
    w.live.world.mutableWorld().accessibility = false;
    editor.restore(work({notesAt({0, 25, 700, 500})}), w.system, std::nullopt, true, true);
    EXPECT_EQ(w.report().summary(), "Quiltwright needs Accessibility permission to restore “Work”. Nothing was changed");
    EXPECT_THAT(w.report().notes, ElementsAre("Allow it in System Settings › Privacy & Security › Accessibility"));
    EXPECT_TRUE(w.report().failed);
}

TEST_F(PreviewTest, RestoringALayoutThatIsInPlaceMovesAndHidesNothing) {
    editor.restore(work({mailAt(mailHome), notesAt(notesHome)}), w.system, std::nullopt, true, true);
    EXPECT_EQ(w.report(), (Report{0, {}, "“Work” is already in place", std::nullopt, false}));
    EXPECT_FALSE(w.app(300).hidden);
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(PreviewTest, RestoreMovesHidesTheRestAndKeepsThePlansNotesAndContext) {
    editor.restore(work({mailAt({0, 25, 700, 500}), notesAt(notesHome)}), w.system, "Displays changed", false, true);
    EXPECT_EQ(w.report().summary(), "Moved 1 window. Displays changed");
    EXPECT_THAT(w.report().notes, ElementsAre("Hid 1 other app (Undo Apply brings them back)"));
    EXPECT_TRUE(w.app(300).hidden);
    EXPECT_FALSE(w.app(200).hidden);
    EXPECT_EQ(w.window(1).frame, Rect(0, 25, 700, 500));
}

TEST_F(PreviewTest, ApplySavingEditsSavesTheEditedPreviewFirst) {
    auto layout = work({mailAt({0, 25, 700, 500}), notesAt(notesHome)});
    store.add(layout);
    editor.stage(layout, w.system);
    editor.place(1, {20, 40, 640, 480}); // the user drags Mail elsewhere
    editor.applySavingEdits(store, w.system, std::nullopt);

    EXPECT_EQ(w.report().notes.front(), "Saved the changes to “Work”");
    EXPECT_EQ(w.window(1).frame, Rect(20, 40, 640, 480));
    const auto stored = store.layout(layout.id);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->name, "Work");
    ASSERT_FALSE(stored->windows.empty());
    EXPECT_EQ(stored->windows.front().frame, Rect(20, 40, 640, 480));
}

TEST_F(PreviewTest, SavingAnEditedPreviewKeepsTheWindowsTheCanvasCouldNotShow) {
    SavedDisplay away{"D9", DisplayKey{9, 9, 9}, "Projector", Rect(1440, 0, 1920, 1080), Rect(1440, 25, 1920, 1055)};
    auto layout = work({mailAt({0, 25, 700, 500}),
                        notesAt(notesHome),
                        notesAt({20, 500, 400, 300}),                // Notes runs with one window only
                        pagesAt({100, 200, 800, 600}, "Draft"),      // Pages is not running: one planned app...
                        pagesAt({150, 250, 800, 600}, "Letter"),     // ...stands for all three
                        pagesAt({200, 300, 800, 600}, "Budget"),
                        saved("Safari", "com.apple.Safari", "Start", {1500, 100, 800, 600}, "D9")}); // not connected
    layout.displays.push_back(away);
    store.add(layout);
    editor.stage(layout, w.system);
    editor.place(1, {20, 40, 640, 480});
    ASSERT_EQ(editor.savePreview(store, w.system), "Work");
    EXPECT_FALSE(editor.previewEdited());

    const auto stored = store.layout(layout.id);
    ASSERT_TRUE(stored);
    std::vector<std::string> titles;
    for (const auto& window : stored->windows) titles.push_back(window.appName + "/" + window.title);
    // The canvas's windows as captured (Pages planned, so untitled), then the rest unchanged.
    EXPECT_THAT(titles, ElementsAre("Mail/Inbox", "Notes/List", "Pages/", "Notes/List", "Pages/Letter", "Pages/Budget",
                                    "Safari/Start"));
    EXPECT_EQ(stored->windows.front().frame, Rect(20, 40, 640, 480));
    EXPECT_EQ(stored->windows[3], layout.windows[2]);
    EXPECT_EQ(stored->windows[6], layout.windows[6]);
    ASSERT_EQ(stored->displays.size(), 2u);
    EXPECT_EQ(stored->displays[1], away);

    // A window the user takes off the canvas leaves the layout.
    editor.remove({2}, w.live.inventory);
    editor.savePreview(store, w.system);
    titles.clear();
    const auto updated = store.layout(layout.id);
    ASSERT_TRUE(updated);
    for (const auto& window : updated->windows) titles.push_back(window.appName + "/" + window.title);
    EXPECT_THAT(titles, ElementsAre("Mail/Inbox", "Pages/", "Notes/List", "Pages/Letter", "Pages/Budget", "Safari/Start"));
}

} // namespace
} // namespace qw

namespace qw {
namespace {

// Mail with two windows, Safari and Music with one each, and Photos hidden.
constexpr std::string_view busyWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]]}],
  "apps": [
    {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 100},
    {"name": "Safari", "bundleID": "com.apple.Safari", "path": "/Applications/Safari.app", "pid": 200},
    {"name": "Music", "bundleID": "com.apple.Music", "path": "/Applications/Music.app", "pid": 300},
    {"name": "Photos", "bundleID": "com.apple.Photos", "path": "/Applications/Photos.app", "pid": 400, "hidden": true}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Inbox", "frame": [[100, 100], [600, 400]]},
    {"id": 2, "pid": 100, "title": "Drafts", "frame": [[150, 150], [600, 400]]},
    {"id": 3, "pid": 200, "title": "Start", "frame": [[700, 100], [600, 400]]},
    {"id": 4, "pid": 300, "title": "Radio", "frame": [[300, 300], [600, 400]]},
    {"id": 5, "pid": 400, "title": "Library", "frame": [[400, 200], [600, 400]]}
  ]
})";

TEST(RestoreUndoTest, UndoBringsBackTheHiddenAppsAndMinimizedWindowsOfARestore) {
    EditorWorld w{busyWorld};
    SavedLayout layout;
    layout.id = Uuid::random();
    layout.name = "Focus";
    layout.displays = {w.live.saved(0)};
    layout.windows = {saved("Mail", "com.apple.mail", "Inbox", {0, 25, 900, 875})};
    w.editor.restore(layout, w.system, std::nullopt, true, true);

    EXPECT_EQ(w.report().summary(), "Moved 1 window");
    EXPECT_THAT(w.report().notes, ElementsAre("Hid 2 other apps and minimized 1 other window (Undo Apply brings them back)"));
    EXPECT_TRUE(w.app(200).hidden);
    EXPECT_TRUE(w.app(300).hidden);
    EXPECT_TRUE(w.window(2).minimized);
    EXPECT_EQ(w.window(1).frame, Rect(0, 25, 900, 875));

    ASSERT_TRUE(w.editor.canUndo());
    w.editor.undo(w.system);
    EXPECT_EQ(w.report().notes.front(), "Undid last apply and brought back what it hid");
    EXPECT_FALSE(w.app(200).hidden);
    EXPECT_FALSE(w.app(300).hidden);
    EXPECT_TRUE(w.app(400).hidden);
    EXPECT_FALSE(w.window(2).minimized);
    EXPECT_EQ(w.window(1).frame, Rect(100, 100, 600, 400));
    EXPECT_FALSE(w.editor.canUndo());
}

} // namespace
} // namespace qw
