#include "model/display_info.h"
#include "model/display_key.h"
#include "model/space_info.h"
#include "model/window_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace qw {
namespace {

TEST(DisplayKey, SortsLexicographicallyAsUnsignedNumbers) {
    std::vector<DisplayKey> keys{{1, 2, 3}, {0xFFFFFFFF, 0, 0}, {1, 2, 0}, {1, 2, 3}};
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<DisplayKey>{{1, 2, 0}, {1, 2, 3}, {1, 2, 3}, {0xFFFFFFFF, 0, 0}}));

    EXPECT_LT((DisplayKey{0x7FFFFFFF, 0, 0}), (DisplayKey{0x80000000, 0, 0}));
    EXPECT_LT((DisplayKey{1, 0x7FFFFFFF, 9}), (DisplayKey{1, 0x80000000, 0}));
    EXPECT_GT((DisplayKey{1, 1, 0x80000000}), (DisplayKey{1, 1, 0x7FFFFFFF}));
    EXPECT_LE((DisplayKey{1, 1, 1}), (DisplayKey{1, 1, 1}));
    EXPECT_GE((DisplayKey{1, 1, 1}), (DisplayKey{1, 1, 1}));
}

TEST(DisplayKey, EqualityAndHashCoverEveryField) {
    const DisplayKey key{1, 2, 3};
    EXPECT_EQ(key, (DisplayKey{1, 2, 3}));
    EXPECT_EQ(std::hash<DisplayKey>{}(key), std::hash<DisplayKey>{}(DisplayKey{1, 2, 3}));
    for (const DisplayKey other : {DisplayKey{0, 2, 3}, DisplayKey{1, 0, 3}, DisplayKey{1, 2, 0}, DisplayKey{3, 2, 1}}) {
        EXPECT_NE(key, other);
        EXPECT_NE(std::hash<DisplayKey>{}(key), std::hash<DisplayKey>{}(other));
    }
}

SpaceInfo space(SpaceID id, std::string name) {
    SpaceInfo s;
    s.id = id;
    s.name = std::move(name);
    return s;
}

TEST(DisplayInfo, CurrentSpaceIsTheFirstSpaceWithTheCurrentID) {
    DisplayInfo display;
    display.spaces = {space(4, "first"), space(7, "second"), space(7, "duplicate")};

    display.currentSpaceID = 7;
    ASSERT_TRUE(display.currentSpace());
    EXPECT_EQ(display.currentSpace()->name, "second");

    display.currentSpaceID = 9;
    EXPECT_FALSE(display.currentSpace());

    display.currentSpaceID = 0; // not reported
    EXPECT_FALSE(display.currentSpace());

    display.spaces.clear();
    display.currentSpaceID = 4;
    EXPECT_FALSE(display.currentSpace());
}

TEST(Records, ValuesThatDifferInOneFieldAreUnequal) {
    SpaceInfo desktop = space(5, "Desktop 1");
    desktop.number = 1;
    SpaceInfo nicknamed = desktop;
    nicknamed.nickname = "Mail";
    EXPECT_NE(desktop, nicknamed);
    EXPECT_NE(std::hash<SpaceInfo>{}(desktop), std::hash<SpaceInfo>{}(nicknamed));

    WindowInfo window;
    window.id = 12;
    window.appName = "Notes";
    window.frame = Rect(0, 25, 800, 600);
    window.zOrder = 3;
    WindowInfo behind = window;
    behind.zOrder = 4;
    EXPECT_NE(window, behind);
    EXPECT_NE(std::hash<WindowInfo>{}(window), std::hash<WindowInfo>{}(behind));

    DisplayInfo display;
    display.id = 1;
    display.spaces = {desktop};
    DisplayInfo renamed = display;
    renamed.spaces = {nicknamed};
    EXPECT_NE(display, renamed);
    EXPECT_NE(std::hash<DisplayInfo>{}(display), std::hash<DisplayInfo>{}(renamed));

    const std::unordered_set<WindowInfo> windows{window, behind, window};
    EXPECT_EQ(windows.size(), 2u);
}

TEST(WindowInfo, AppKeyIsTheBundleIdentifierElseTheName) {
    WindowInfo window;
    window.appName = "Notes";
    EXPECT_EQ(window.appKey(), "Notes");
    window.bundleID = "com.apple.Notes";
    EXPECT_EQ(window.appKey(), "com.apple.Notes");
}

} // namespace
} // namespace qw
