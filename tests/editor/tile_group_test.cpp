#include "editor/layout_editor.h"
#include "editor/tile_group.h"

#include "restore/live_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qw {
namespace {

using testing::LiveWorld;
using ::testing::IsEmpty;

TileGroup group(TileAxis axis, std::vector<WindowID> windows) {
    return TileGroup{Uuid::random(), "D1", axis, windows, TileGroup::equalShares(windows.size())};
}

TEST(TileGroupTest, FramesTileTheRectangleAndTheLastTakesTheRounding) {
    const auto frames = group(TileAxis::columns, {1, 2, 3}).frames({0, 25, 1000, 875});
    EXPECT_EQ(frames.at(1), Rect(0, 25, 333, 875));
    EXPECT_EQ(frames.at(2), Rect(333, 25, 333, 875));
    EXPECT_EQ(frames.at(3), Rect(666, 25, 334, 875));
    const auto rows = group(TileAxis::rows, {1, 2}).frames({10, 0, 500, 301});
    EXPECT_EQ(rows.at(1), Rect(10, 0, 500, 151)); // 150.5 rounds away from zero
    EXPECT_EQ(rows.at(2), Rect(10, 151, 500, 150));
    EXPECT_DOUBLE_EQ(group(TileAxis::columns, {1, 2, 3}).divider(0, {0, 25, 1000, 875}), 1000.0 / 3);
}

TEST(TileGroupTest, SharesNeverGoNegativeHoweverManyMembers) {
    for (std::size_t count : {2u, 3u, 11u, 40u}) {
        std::vector<WindowID> ids;
        for (WindowID i = 1; i <= count; ++i) ids.push_back(i);
        auto g = group(TileAxis::columns, ids);
        for (double share : {-5.0, 0.0, 0.05, 2.0, 50.0}) {
            ASSERT_TRUE(g.setShare(0, share));
            double sum = 0;
            for (double f : g.fractions) {
                EXPECT_GE(f, 0) << count << " members, share " << share;
                sum += f;
            }
            EXPECT_NEAR(sum, 1.0, 1e-9);
            for (const auto& [id, frame] : g.frames({0.3, 0, 1000, 800})) EXPECT_GE(frame.width(), 0) << count;
        }
        EXPECT_FALSE(g.setShare(count - 1, 0.5)); // no member after the last
    }
}

// One 1000-point-wide display (visible frame 0,25 1000×875) and a second one to its right.
constexpr std::string_view tileWorld = R"({
  "displays": [
    {"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1000, 900]], "spaces": [{"id": 11}], "currentSpace": 11},
    {"id": 2, "uuid": "D2", "serial": 2, "frame": [[1000, 0], [1000, 900]], "spaces": [{"id": 21}, {"id": 90, "fullscreen": true, "pid": 100}],
     "currentSpace": 21}
  ],
  "apps": [{"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 100}],
  "windows": [
    {"id": 1, "pid": 100, "frame": [[500, 100], [300, 300]], "spaces": [11]},
    {"id": 2, "pid": 100, "frame": [[100, 100], [300, 300]], "spaces": [11]},
    {"id": 3, "pid": 100, "frame": [[1100, 100], [300, 300]], "spaces": [21]},
    {"id": 4, "pid": 100, "frame": [[1000, 0], [1000, 900]], "spaces": [90]}
  ]
})";

class TilingTest : public ::testing::Test {
protected:
    const DisplayInfo& left() const { return live.inventory.displays().front(); }

    LiveWorld live{tileWorld};
    LayoutEditor editor;
};

TEST_F(TilingTest, TilingGivesEqualSharesAndDetachingReSharesOrDissolves) {
    editor.setArranging(true);
    editor.tile({1, 2, 3}, left(), TileAxis::columns);
    ASSERT_EQ(editor.tileGroups().size(), 1u);
    EXPECT_EQ(editor.pending().at(3), Rect(666, 25, 334, 875));
    EXPECT_EQ(editor.placed(), (std::set<WindowID>{1, 2, 3}));
    EXPECT_EQ(editor.history().size(), 1u);

    editor.detach(2);
    EXPECT_EQ(editor.tileGroup(1)->windows, (std::vector<WindowID>{1, 3}));
    EXPECT_EQ(editor.tileGroup(1)->fractions, (std::vector<double>{0.5, 0.5}));
    editor.detach(3);
    EXPECT_THAT(editor.tileGroups(), IsEmpty());
    EXPECT_EQ(editor.pending().at(1), Rect(0, 25, 333, 875)); // keeps its frame

    editor.tile({1}, left(), TileAxis::rows); // fewer than two: nothing
    editor.tile({1, 1}, left(), TileAxis::rows);
    EXPECT_THAT(editor.tileGroups(), IsEmpty());
}

TEST_F(TilingTest, DividersReShareOnlyTheirTwoNeighbours) {
    editor.tile({1, 2}, left(), TileAxis::columns);
    const auto id = editor.tileGroups()[0].id;
    editor.moveDivider(id, 0, -50, live.inventory.displays()); // past the left edge
    EXPECT_DOUBLE_EQ(editor.tileGroups()[0].fractions[0], 0.1);
    EXPECT_DOUBLE_EQ(editor.tileGroups()[0].fractions[1], 0.9);
    EXPECT_EQ(editor.pending().at(1), Rect(0, 25, 100, 875));

    editor.tile({1, 2, 3}, left(), TileAxis::columns);
    const auto three = editor.tileGroups()[0].id;
    editor.moveDivider(three, 1, 800, live.inventory.displays());
    const auto& f = editor.tileGroups()[0].fractions;
    EXPECT_DOUBLE_EQ(f[0], 1.0 / 3);
    EXPECT_NEAR(f[1], 0.8 - 1.0 / 3, 1e-12);
    EXPECT_NEAR(f[2], 0.2, 1e-12);

    const auto before = editor.tileGroups();
    editor.moveDivider(three, 2, 900, live.inventory.displays()); // no member after the last
    editor.moveDivider(three, 0, 900, {});                        // its display is gone
    EXPECT_EQ(editor.tileGroups(), before);
}

TEST_F(TilingTest, SeamsStopShortOfTheFarEdgeAndLeaveCrossedBoundsAlone) {
    const WindowInfo& a = live.inventory.windows()[1]; // 100..400
    const WindowInfo& b = live.inventory.windows()[0]; // 500..800
    editor.moveSeam(a, b, true, 2000);
    EXPECT_EQ(editor.pending().at(2), Rect(100, 100, 580, 300));
    EXPECT_EQ(editor.pending().at(1), Rect(680, 100, 120, 300));
    editor.moveSeam(a, b, false, 2000); // horizontal: 80 short of the lower one's bottom
    EXPECT_EQ(editor.pending().at(2), Rect(100, 100, 580, 220));
    EXPECT_EQ(editor.pending().at(1), Rect(680, 320, 120, 80));

    // Too narrow for 120 points on each side: both frames stay.
    editor.setPending({{1, {200, 100, 100, 300}}, {2, {100, 100, 100, 300}}});
    const auto before = editor.pending();
    editor.moveSeam(a, b, true, 250);
    EXPECT_EQ(editor.pending(), before);
}

TEST_F(TilingTest, TilingTheSelectionUsesTheDisplayHoldingMostAndSkipsFullScreen) {
    editor.setMultiSelection({1, 2, 3, 4});
    const auto display = editor.tileSelection(live.inventory, TileAxis::columns);
    ASSERT_TRUE(display);
    EXPECT_EQ(display->uuid, "D1");
    // All selected movable windows, sorted by their left edge; the full-screen window is left out.
    EXPECT_EQ(editor.tileGroups()[0].windows, (std::vector<WindowID>{2, 1, 3}));

    editor.setMultiSelection({3, 4});
    EXPECT_EQ(editor.tileSelection(live.inventory, TileAxis::rows), std::nullopt);
    EXPECT_EQ(editor.tileGroups().size(), 1u);
}

} // namespace
} // namespace qw
