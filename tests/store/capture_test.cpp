#include "store/capture.h"

#include "restore/live_world.h"
#include "store/layout_store.h"
#include "store_fixtures.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qw {
namespace {

using testing::LiveWorld;
using namespace test_support;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Display A lists desktop 11, Keynote's full-screen space 90, desktop 12, and shows 11.
// Display B shows 21 of 21 and 22.
constexpr std::string_view captureWorld = R"({
  "displays": [
    {"id": 1, "uuid": "A", "name": "Left", "main": true, "frame": [[0, 0], [1440, 900]],
     "spaces": [{"id": 11, "uuid": "S11"}, {"id": 90, "uuid": "FS", "fullscreen": true, "pid": 300}, {"id": 12, "uuid": "S12"}],
     "currentSpace": 11},
    {"id": 2, "uuid": "B", "name": "Right", "serial": 7, "frame": [[1440, 0], [1920, 1080]],
     "spaces": [{"id": 21, "uuid": "S21"}, {"id": 22, "uuid": ""}], "currentSpace": 21}
  ],
  "apps": [
    {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 100},
    {"name": "Keynote", "bundleID": "com.apple.Keynote", "path": "/Applications/Keynote.app", "pid": 300}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Inbox", "frame": [[100, 100], [600, 400]], "spaces": [11]},
    {"id": 2, "pid": 100, "title": "Drafts", "frame": [[200, 200], [600, 400]], "spaces": [12]},
    {"id": 3, "pid": 300, "title": "Talk", "frame": [[0, 0], [1440, 900]], "spaces": [90]},
    {"id": 4, "pid": 100, "title": "Everywhere", "frame": [[1500, 100], [600, 400]], "spaces": [21, 22]},
    {"id": 5, "pid": 100, "title": "Off to the side", "frame": [[3300, 900], [600, 400]], "spaces": [21]}
  ]
})";

class CaptureTest : public ::testing::Test {
protected:
    SavedLayout capture(const CanvasContents* canvas = nullptr) {
        return Capture::capture("Work", live.inventory, canvas, Capture::bundlePaths(live.world.platform().workspace),
                                Timestamp(std::chrono::seconds(1700000000)));
    }
    static const SavedWindow& window(const SavedLayout& layout, const std::string& title) {
        for (const auto& w : layout.windows)
            if (w.title == title) return w;
        ADD_FAILURE() << "no window titled " << title;
        return layout.windows.front();
    }

    LiveWorld live{captureWorld};
};

TEST_F(CaptureTest, RecordsTheScreen) {
    const auto layout = capture();
    EXPECT_EQ(layout.name, "Work");
    EXPECT_FALSE(layout.autoRestore);
    EXPECT_EQ(layout.created, layout.updated);
    EXPECT_EQ(layout.displays, (std::vector<SavedDisplay>{live.saved(0), live.saved(1)}));

    SavedWindow inbox{"com.apple.mail", "Mail", "Inbox", "A", {100, 100, 600, 400}, 1, 0, "/Applications/Mail.app",
                      std::nullopt, "S11", 1};
    inbox.zOrder = live.inventory.windows()[0].zOrder;
    EXPECT_EQ(window(layout, "Inbox"), inbox);

    // The second ordinary desktop, behind a full-screen space: index 3, number 2.
    const auto& drafts = window(layout, "Drafts");
    EXPECT_EQ(drafts.spaceIndex, 3);
    EXPECT_EQ(drafts.desktopNumber, 2);
    EXPECT_EQ(drafts.spaceUUID, "S12");

    // On every desktop: no desktop at all.
    const auto& everywhere = window(layout, "Everywhere");
    EXPECT_EQ(everywhere.display, "B");
    EXPECT_EQ(everywhere.spaceIndex, std::nullopt);
    EXPECT_EQ(everywhere.spaceUUID, std::nullopt);
    EXPECT_EQ(everywhere.desktopNumber, std::nullopt);
    EXPECT_EQ(everywhere.keepsDesktop, std::nullopt);

    // Mostly off every display: still recorded, on the one it overlaps.
    EXPECT_EQ(window(layout, "Off to the side").display, "B");

    // The full-screen window is not recorded.
    ASSERT_EQ(layout.windows.size(), 4u);
}

TEST_F(CaptureTest, WithoutDisplaysNothingIsRecorded) {
    live.world.mutableWorld().displays.clear();
    live.inventory.refresh();
    const auto layout = capture();
    EXPECT_THAT(layout.displays, IsEmpty());
    EXPECT_THAT(layout.windows, IsEmpty());
}

TEST_F(CaptureTest, RecordsTheCanvasFramesDesktopsAndPlannedApps) {
    CanvasContents canvas;
    canvas.pending[1] = {1600, 200, 600, 400}; // dragged from A to B, onto the desktop B shows
    canvas.pending[2] = {1700, 300, 600, 400}; // dragged to B, onto B's other desktop
    canvas.desktops[2] = 22;
    canvas.desktops[4] = 12;                   // a desktop of another display: not explicit
    WindowInfo planned;
    planned.id = 0xF0000000;
    planned.appName = "Pages";
    planned.bundleID = "com.apple.iWork.Pages";
    planned.title = "Opens on Apply";
    planned.frame = {50, 60, 700, 500};
    planned.spaceIDs = {12};
    planned.zOrder = -1;
    canvas.plannedWindows = {planned};
    canvas.plannedAppPaths[planned.id] = "/Applications/Pages.app";
    canvas.desktops[planned.id] = 12;

    const auto layout = capture(&canvas);
    const auto& inbox = window(layout, "Inbox");
    EXPECT_EQ(inbox.display, "B");
    EXPECT_EQ(inbox.frame, Rect(1600, 200, 600, 400));
    EXPECT_EQ(inbox.spaceUUID, "S21");
    EXPECT_EQ(inbox.desktopNumber, 1);
    EXPECT_EQ(inbox.keepsDesktop, std::nullopt);

    const auto& drafts = window(layout, "Drafts");
    EXPECT_EQ(drafts.display, "B");
    EXPECT_EQ(drafts.keepsDesktop, true);
    EXPECT_EQ(drafts.spaceIndex, 2);
    EXPECT_EQ(drafts.desktopNumber, 2);
    EXPECT_EQ(drafts.spaceUUID, std::nullopt); // B reports no UUID for it

    EXPECT_EQ(window(layout, "Everywhere").keepsDesktop, std::nullopt);

    const auto& pages = layout.windows.back();
    EXPECT_EQ(pages.appName, "Pages");
    EXPECT_EQ(pages.title, "");
    EXPECT_EQ(pages.frame, Rect(50, 60, 700, 500));
    EXPECT_EQ(pages.appPath, "/Applications/Pages.app");
    EXPECT_EQ(pages.keepsDesktop, true);
    EXPECT_EQ(pages.spaceIndex, 3);
}

TEST_F(CaptureTest, InArrangeModeOnlyPlacedWindowsAreRecorded) {
    CanvasContents canvas;
    canvas.arranging = true;
    canvas.placed = {2};
    const auto layout = capture(&canvas);
    ASSERT_EQ(layout.windows.size(), 1u);
    EXPECT_EQ(layout.windows[0].title, "Drafts");
}

class CaptureStoreTest : public CaptureTest {
protected:
    TempFolder folder;
    LayoutStore store{folder / "layouts.json", std::make_shared<LocalFileSystem>(), [] { return fixedTime(); }};
    Capture::AppPathLookup paths = Capture::bundlePaths(live.world.platform().workspace);
};

TEST_F(CaptureStoreTest, SaveCurrentAppendsAndMarksForAutomaticRestore) {
    const auto first = Capture::saveCurrent(store, "One", live.inventory, nullptr, paths, true);
    const auto second = Capture::saveCurrent(store, "Two", live.inventory, nullptr, paths, true);
    EXPECT_EQ(second.created, Timestamp(std::chrono::seconds(fixedSeconds)));
    ASSERT_EQ(store.layouts().size(), 2u);
    EXPECT_FALSE(store.layouts()[0].autoRestore); // the same monitors: only the newest stays marked
    EXPECT_TRUE(store.layouts()[1].autoRestore);
    EXPECT_EQ(store.layouts()[1], second);
    EXPECT_FALSE(store.hasUnsavedChanges());
    (void)first;
}

TEST_F(CaptureStoreTest, UpdateKeepsIdentityAndPlaceAndReplacesTheContents) {
    auto old = layoutOn("Old", {keyC()});
    old.autoRestore = true;
    store.add(old);
    store.add(layoutOn("After", {keyC()}));
    const auto updated = Capture::updateToCurrent(store, old.id, live.inventory, nullptr, paths);
    ASSERT_TRUE(updated);
    ASSERT_EQ(store.layouts().size(), 2u);
    const auto& stored = store.layouts()[0];
    EXPECT_EQ(stored.id, old.id);
    EXPECT_EQ(stored.name, "Old");
    EXPECT_EQ(stored.created, old.created);
    EXPECT_TRUE(stored.autoRestore);
    EXPECT_EQ(stored.updated, Timestamp(std::chrono::seconds(fixedSeconds)));
    EXPECT_EQ(stored.displays.size(), 2u);
    EXPECT_EQ(stored.windows.size(), 4u);

    EXPECT_EQ(Capture::updateToCurrent(store, Uuid::random(), live.inventory, nullptr, paths), std::nullopt);
}

TEST_F(CaptureStoreTest, AnUpdateOntoOtherMonitorsLeavesOneAutomaticLayoutForThem) {
    const auto here = Capture::saveCurrent(store, "Here", live.inventory, nullptr, paths, true);
    auto elsewhere = layoutOn("Elsewhere", {keyC()});
    elsewhere.autoRestore = true;
    store.add(elsewhere);
    // "Elsewhere" is captured again on this Mac's monitors, keeping its flag: "Here" loses its own.
    Capture::updateToCurrent(store, elsewhere.id, live.inventory, nullptr, paths);
    EXPECT_FALSE(store.layout(here.id)->autoRestore);
    EXPECT_TRUE(store.layout(elsewhere.id)->autoRestore);
}

} // namespace
} // namespace qw
