#include "editor/layout_editor.h"

#include "editor/listed_windows.h"
#include "restore/live_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qw {
namespace {

using testing::LiveWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// One display showing desktop 11 of 11 and 12, and a full-screen space 90 of Keynote.
constexpr std::string_view editorWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11}, {"id": 12}, {"id": 90, "fullscreen": true, "pid": 300}], "currentSpace": 11}],
  "apps": [
    {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 100},
    {"name": "Notes", "bundleID": "com.apple.Notes", "path": "/Applications/Notes.app", "pid": 200},
    {"name": "Keynote", "bundleID": "com.apple.Keynote", "path": "/Applications/Keynote.app", "pid": 300}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Inbox", "frame": [[100, 100], [600, 400]], "spaces": [11]},
    {"id": 2, "pid": 200, "title": "List", "frame": [[700, 100], [600, 400]], "spaces": [11]},
    {"id": 3, "pid": 200, "title": "Hidden desktop", "frame": [[100, 100], [600, 400]], "spaces": [12]},
    {"id": 4, "pid": 300, "title": "Talk", "frame": [[0, 0], [1440, 900]], "spaces": [90]},
    {"id": 5, "pid": 100, "title": "Minimized", "frame": [[100, 100], [600, 400]], "spaces": [11], "minimized": true}
  ]
})";

const PlannedApp pages{"/Applications/Pages.app", "Pages", "com.apple.iWork.Pages"};

class LayoutEditorTest : public ::testing::Test {
protected:
    const DisplayInfo& display() const { return live.inventory.displays().front(); }

    LiveWorld live{editorWorld};
    LayoutEditor editor;
};

// ---- History -----------------------------------------------------------------------------------

TEST_F(LayoutEditorTest, HistoryKeepsTheFiftyNewestDistinctStates) {
    for (int i = 0; i < 51; ++i) editor.place(1, {double(i), 0, 400, 300}); // each place checkpoints first
    ASSERT_EQ(editor.history().size(), 50u);
    EXPECT_EQ(editor.history().entries().front().pending, (FrameMap{{1, {0, 0, 400, 300}}})); // the empty state is gone
    editor.checkpoint();
    editor.checkpoint();
    EXPECT_EQ(editor.history().size(), 50u); // one new entry in, the oldest out; the second adds nothing
    EXPECT_EQ(editor.history().entries().back(), editor.editState());
}

TEST_F(LayoutEditorTest, CheckpointTwiceWithoutAChangeAddsOneEntry) {
    editor.checkpoint();
    editor.checkpoint();
    EXPECT_EQ(editor.history().size(), 1u);
}

TEST_F(LayoutEditorTest, AGestureThatEndsWhereItBeganLeavesNoEntry) {
    editor.place(1, {100, 100, 600, 400});
    const auto before = editor.history();
    editor.checkpoint(); // the drag starts
    editor.setPending({{1, {300, 300, 600, 400}}});
    editor.setPending({{1, {100, 100, 600, 400}}});
    editor.dropCheckpointIfUnchanged(); // and ends where it began
    EXPECT_EQ(editor.history(), before);
}

TEST_F(LayoutEditorTest, UndoAfterPlanRemovesThePlannedAppAndTheSelection) {
    const auto id = editor.plan(pages, {0, 30, 700, 500}, SpaceID{12});
    ASSERT_EQ(id, LayoutEditor::firstPlannedID);
    EXPECT_EQ(editor.selected(), id);
    EXPECT_EQ(editor.desktops().at(*id), 12u);
    editor.undoEdit();
    EXPECT_THAT(editor.plannedApps(), IsEmpty());
    EXPECT_THAT(editor.pending(), IsEmpty());
    EXPECT_THAT(editor.desktops(), IsEmpty());
    EXPECT_EQ(editor.selected(), std::nullopt);
    EXPECT_EQ(editor.nextPlannedID(), LayoutEditor::firstPlannedID + 1); // ids are never reused
    editor.undoEdit(); // an empty history does nothing
    EXPECT_TRUE(editor.history().empty());
}

// ---- Observation -------------------------------------------------------------------------------

TEST_F(LayoutEditorTest, ObserversHearOnlyOfRealChanges) {
    int pendingChanges = 0, reportChanges = 0;
    auto a = editor.observe(LayoutEditor::Property::pending, [&] { ++pendingChanges; });
    auto b = editor.observe(LayoutEditor::Property::report, [&] { ++reportChanges; });
    editor.setPending({{1, {0, 0, 100, 100}}});
    editor.setPending({{1, {0, 0, 100, 100}}});
    editor.unplace(9); // nowhere in the state
    editor.setReport(Report{});
    editor.setReport(Report{});
    EXPECT_EQ(pendingChanges, 1);
    EXPECT_EQ(reportChanges, 1);
}

// ---- Reports and queries -----------------------------------------------------------------------

TEST(ReportTest, Summary) {
    EXPECT_EQ(Report{}.summary(), "Moved 0 windows");
    EXPECT_EQ((Report{1, {}, {}, {}, false}).summary(), "Moved 1 window");
    EXPECT_EQ((Report{3, {"a note"}, {}, "Monitors changed", false}).summary(), "Moved 3 windows. Monitors changed");
    EXPECT_EQ((Report{3, {}, "Restored “Work”", {}, false}).summary(), "Restored “Work”");
}

TEST_F(LayoutEditorTest, UnsavedWork) {
    EXPECT_FALSE(editor.hasUnsavedWork());
    editor.newLayoutFromCurrentWindows(live.inventory);
    EXPECT_EQ(editor.placed(), (std::set<WindowID>{1, 2})); // the windows showing now
    EXPECT_TRUE(editor.hasUnsavedWork());
    editor.setPlaced({});
    EXPECT_TRUE(editor.isNewLayout());
    EXPECT_FALSE(editor.hasUnsavedWork()); // a new, empty layout
    editor.place(1, {0, 30, 400, 300});
    EXPECT_TRUE(editor.hasUnsavedWork());
}

TEST_F(LayoutEditorTest, DesktopChoices) {
    editor.setDesktop(1, 12, display());
    EXPECT_EQ(editor.desktop(1, display()), 12u);
    editor.setDesktop(1, 11, display()); // the shown desktop: no entry
    EXPECT_THAT(editor.desktops(), IsEmpty());
    editor.setDesktop(1, 77, display()); // a desktop that has since been removed
    EXPECT_EQ(editor.desktop(1, display()), 11u);
}

TEST_F(LayoutEditorTest, PlannedAppsAsWindows) {
    editor.plan(pages, {100, 100, 700, 500}, SpaceID{12});
    editor.plan(pages, {0, 30, 700, 500}, std::nullopt);
    const auto windows = editor.plannedWindows(live.inventory.displays());
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].id, LayoutEditor::firstPlannedID);
    EXPECT_EQ(windows[0].title, "Opens on Apply");
    EXPECT_EQ(windows[0].spaceIDs, std::vector<SpaceID>{12});
    EXPECT_EQ(windows[0].zOrder, -1);
    EXPECT_EQ(windows[1].spaceIDs, std::vector<SpaceID>{11});
    EXPECT_EQ(windows[1].zOrder, -2);

    const auto canvas = editor.canvasContents(live.inventory.displays());
    EXPECT_EQ(canvas.plannedAppPaths.at(LayoutEditor::firstPlannedID), "/Applications/Pages.app");
    EXPECT_EQ(canvas.plannedWindows, windows);
}

// ---- Removing ----------------------------------------------------------------------------------

TEST_F(LayoutEditorTest, RemovingOutsideArrangeModeBuildsALayoutOfWhatTheCanvasShowed) {
    editor.remove({2}, live.inventory);
    EXPECT_TRUE(editor.arranging());
    // Every shown window but the removed one, and the one on the hidden desktop; not the full-screen one.
    EXPECT_EQ(editor.placed(), (std::set<WindowID>{1, 3}));
    EXPECT_EQ(editor.desktops(), (DesktopMap{{3, 12}})); // where it lives, when that is not showing
    ASSERT_TRUE(editor.report());
    EXPECT_EQ(editor.report()->summary(),
              "Removed Notes from the canvas. Save it as a layout, or Apply to hide what isn't on it");
    EXPECT_EQ(editor.history().size(), 1u);
}

TEST_F(LayoutEditorTest, RemovingAPlannedAppOrAnUnknownId) {
    editor.remove({42}, live.inventory);
    EXPECT_EQ(editor.report(), std::nullopt);
    const auto id = *editor.plan(pages, {0, 30, 700, 500}, std::nullopt);
    editor.setMultiSelection({id});
    editor.removeSelection(live.inventory);
    EXPECT_THAT(editor.plannedApps(), IsEmpty());
    EXPECT_THAT(editor.pending(), IsEmpty());
    EXPECT_EQ(editor.report()->headline,
              "Removed Pages from the canvas. Save it as a layout, or Apply to hide what isn't on it");
}

TEST_F(LayoutEditorTest, ForgetClosedDropsOnlyWindowsTheWindowServerNoLongerLists) {
    const auto planned = *editor.plan(pages, {0, 30, 700, 500}, std::nullopt);
    editor.place(5, {10, 40, 600, 400}); // minimized: not in the Inventory, still listed
    editor.place(1, {20, 40, 600, 400});
    editor.place(2, {30, 40, 600, 400});
    editor.setMultiSelection({1, 2});
    live.world.mutableWorld().windows.erase(live.world.mutableWorld().windows.begin()); // window 1 closes
    const auto listed = listedWindowNumbers(live.world.platform().windowServer);
    ASSERT_TRUE(listed);
    editor.forgetClosed(*listed);
    EXPECT_EQ(editor.pending().size(), 3u);
    EXPECT_TRUE(editor.pending().contains(5));
    EXPECT_TRUE(editor.pending().contains(planned));
    EXPECT_FALSE(editor.pending().contains(1));
    EXPECT_EQ(editor.multiSelection(), (std::set<WindowID>{2}));
}

TEST_F(LayoutEditorTest, RevertClearsTheCanvasButNotTheMode) {
    editor.newLayoutFromCurrentWindows(live.inventory);
    editor.plan(pages, {0, 30, 700, 500}, SpaceID{12});
    editor.revert();
    EXPECT_TRUE(editor.arranging());
    EXPECT_TRUE(editor.history().empty());
    EXPECT_EQ(editor.editState(), (EditState{{}, {}, {}, {}, {}, true}));
    EXPECT_EQ(editor.nextPlannedID(), LayoutEditor::firstPlannedID + 1);
}

TEST_F(LayoutEditorTest, EndingAPreviewRestoresTheModeFromBeforeIt) {
    editor.place(1, {0, 30, 400, 300});
    editor.setArrangingBeforePreview(false);
    editor.setArranging(true);
    editor.setPreviewing(Uuid::random());
    editor.setPreviewBaseline(editor.snapshot());
    EXPECT_FALSE(editor.previewEdited());
    editor.setPending({});
    EXPECT_TRUE(editor.previewEdited());
    EXPECT_TRUE(editor.hasUnsavedWork());
    editor.endPreview();
    EXPECT_FALSE(editor.arranging());
    EXPECT_THAT(editor.placed(), IsEmpty());
    EXPECT_EQ(editor.previewing(), std::nullopt);
}

} // namespace
} // namespace qw
