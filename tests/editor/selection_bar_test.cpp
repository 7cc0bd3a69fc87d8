#include "editor/selection_bar.h"

#include "editor/layout_editor.h"
#include "restore/live_editor_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qw {
namespace {

using testing::LiveWorld;
using ::testing::ElementsAre;
using Action = SelectionBarItem::Action;
using Kind = SelectionBarItem::Kind;

// One display showing desktop 11 of 11 and 12, and Keynote full screen in 90.
constexpr std::string_view barWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "name": "Studio Display", "main": true, "frame": [[0, 0], [2560, 1440]],
                "spaces": [{"id": 11}, {"id": 12}, {"id": 90, "fullscreen": true, "pid": 500}], "currentSpace": 11}],
  "apps": [
    {"name": "Notes", "path": "/Applications/Notes.app", "running": true, "pid": 100},
    {"name": "Keynote", "path": "/Applications/Keynote.app", "running": true, "pid": 500}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Groceries", "frame": [[100, 100], [800, 500]], "spaces": [11]},
    {"id": 2, "pid": 100, "title": "", "frame": [[1000, 100], [800, 500]], "spaces": [11]},
    {"id": 6, "pid": 500, "title": "Talk", "frame": [[0, 0], [2560, 1440]], "spaces": [90]}
  ]
})";

class SelectionBarTest : public ::testing::Test {
protected:
    WindowInfo window(WindowID id) {
        for (const WindowInfo& w : live.inventory.windows())
            if (w.id == id) return w;
        return {};
    }
    // Each item as its kind's mark and its text: "[Close]" for a button, "|" for a separator.
    std::vector<std::string> shown(const std::vector<WindowInfo>& windows) {
        std::vector<std::string> texts;
        for (const SelectionBarItem& item : selectionBar(actions, windows)) {
            switch (item.kind) {
            case Kind::title: texts.push_back("# " + item.text); break;
            case Kind::button: texts.push_back("[" + item.text + "]"); break;
            case Kind::separator: texts.push_back("|"); break;
            case Kind::note: texts.push_back(item.text); break;
            case Kind::lockNote: texts.push_back("lock: " + item.text); break;
            }
        }
        return texts;
    }

    LiveWorld live{barWorld};
    LayoutEditor editor;
    ShownSpaces shownSpaces;
    WindowActions actions{editor, testing::editorSystem(live), shownSpaces};
};

TEST_F(SelectionBarTest, OneWindowOffersItsActionsAndTheOtherDesktops) {
    EXPECT_THAT(shown({window(1)}), ElementsAre("# Notes", "[Bring to Front]", "[Remove]", "[Close]", "|", "Move to",
                                                "[Desktop 2]", "[New Desktop]", "[]"));
    const auto items = selectionBar(actions, {window(1)});
    EXPECT_EQ(items[0].help, "Notes: Groceries");
    EXPECT_EQ(items[6].help, "Send Notes to Desktop 2 on Studio Display");
    EXPECT_EQ(items[6].desktop->id, 12u);
    EXPECT_EQ(selectionBar(actions, {window(2)})[0].help, "Notes") << "an untitled window";
}

TEST_F(SelectionBarTest, UndoMoveShowsOutsideArrangeModeForAWindowWithAPlannedFrame) {
    editor.place(1, {300, 300, 800, 500});
    EXPECT_THAT(shown({window(1)}), ::testing::Contains("[Undo Move]"));
    editor.setArranging(true);
    EXPECT_THAT(shown({window(1)}), ::testing::Not(::testing::Contains("[Undo Move]")));
}

TEST_F(SelectionBarTest, AFullScreenWindowSaysHowToPlaceIt) {
    EXPECT_THAT(shown({window(6)}),
                ElementsAre("# Keynote", "[Bring to Front]", "[Remove]", "[Close]", "|",
                            "lock: Keynote is full screen. Exit full screen to place it in a layout.", "[]"));
}

TEST_F(SelectionBarTest, APlannedAppCanBeOpenedNow) {
    editor.plan(PlannedApp{"/Applications/Pages.app", "Pages", std::nullopt}, {100, 100, 800, 600}, std::nullopt);
    const auto planned = editor.plannedWindows(live.inventory.displays());
    EXPECT_THAT(shown(planned), ElementsAre("# Pages", "[Open Now]", "[Remove]", "[]"));
}

TEST_F(SelectionBarTest, SeveralWindowsOfferTilingRemovalAndANewDesktop) {
    editor.setMultiSelection({1, 2});
    EXPECT_THAT(shown(actions.selection()),
                ElementsAre("# 2 windows", "[Side by Side]", "[Stacked]", "[Remove]", "|", "[New Desktop]", "[]"));
    const auto items = selectionBar(actions, actions.selection());
    EXPECT_EQ(items[5].help, "Add a desktop to Studio Display and send the selected windows on it there");

    perform(actions, items[1]);
    EXPECT_EQ(editor.tileGroups().size(), 1u);
    perform(actions, items.back());
    EXPECT_TRUE(actions.selection().empty());
}

} // namespace
} // namespace qw
