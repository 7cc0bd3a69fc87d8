#include "model/saved_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_set>
#include <vector>

namespace qw {
namespace {

const DisplayKey A{0x610, 0xA050, 1};
const DisplayKey B{0x610, 0xA050, 2}; // same model, another unit
const DisplayKey C{0x10AC, 0x4123, 0};

SavedLayout madeOn(const std::vector<DisplayKey>& keys, const std::string& uuidPrefix = "U") {
    SavedLayout layout;
    for (std::size_t i = 0; i < keys.size(); ++i)
        layout.displays.push_back(SavedDisplay{uuidPrefix + std::to_string(i), keys[i], "Display",
                                               Rect(1440.0 * static_cast<double>(i), 0, 1440, 900),
                                               Rect(1440.0 * static_cast<double>(i), 25, 1440, 875)});
    return layout;
}

TEST(SavedLayout, HasSameDisplaysComparesKeysAsMultisets) {
    const struct {
        std::vector<DisplayKey> first, second;
        bool same;
    } cases[] = {
        {{A, A, B}, {B, A, A}, true},
        {{A, B}, {A, B, B}, false},
        {{A, B, B}, {A, A, B}, false},
        {{A, B}, {A, C}, false},
        {{C}, {C}, true},
        {{}, {}, true},
        {{A}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first.size() << " vs " << c.second.size() << " displays");
        EXPECT_EQ(madeOn(c.first).hasSameDisplays(madeOn(c.second)), c.same);
        EXPECT_EQ(madeOn(c.second).hasSameDisplays(madeOn(c.first)), c.same);
    }
}

TEST(SavedLayout, HasSameDisplaysIgnoresUuidsNamesAndFrames) {
    SavedLayout other = madeOn({B, A}, "other");
    other.displays[0].name = "Studio Display";
    other.displays[1].frame = Rect(-1920, -200, 1920, 1080);
    EXPECT_TRUE(madeOn({A, B}).hasSameDisplays(other));
    // Equal UUIDs do not make different monitors the same.
    EXPECT_FALSE(madeOn({A, B}).hasSameDisplays(madeOn({A, C})));
}

TEST(SavedLayout, EqualValuesHashEqually) {
    SavedLayout layout = madeOn({A, C});
    layout.name = "Desk";
    SavedWindow window;
    window.appName = "Notes";
    window.display = "U0";
    window.keepsDesktop = true;
    layout.windows.push_back(window);

    SavedLayout copy = layout;
    EXPECT_EQ(std::hash<SavedLayout>{}(layout), std::hash<SavedLayout>{}(copy));

    copy.windows[0].desktopNumber = 2;
    EXPECT_NE(layout, copy);
    EXPECT_NE(std::hash<SavedLayout>{}(layout), std::hash<SavedLayout>{}(copy));
    copy = layout;
    copy.updated += std::chrono::seconds(1);
    EXPECT_NE(std::hash<SavedLayout>{}(layout), std::hash<SavedLayout>{}(copy));

    const std::unordered_set<SavedLayout> layouts{layout, copy, layout};
    EXPECT_EQ(layouts.size(), 2u);
}

} // namespace
} // namespace qw
