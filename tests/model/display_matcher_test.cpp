#include "model/display_matcher.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace qw {
namespace {

const DisplayKey K{0x610, 0xA050, 7};
const DisplayKey K2{0x610, 0xA050, 8}; // same model, another unit
const DisplayKey L{0x10AC, 0x4123, 0};

SavedDisplay saved(std::string uuid, DisplayKey key) {
    return SavedDisplay{std::move(uuid), key, "Saved", Rect(0, 0, 1440, 900), Rect(0, 25, 1440, 875)};
}

DisplayInfo connected(DisplayID id, std::string uuid, DisplayKey key) {
    DisplayInfo display;
    display.id = id;
    display.uuid = std::move(uuid);
    display.key = key;
    display.name = "Display " + std::to_string(id);
    display.frame = Rect(1000.0 * id, 0, 1000, 800);
    display.visibleFrame = display.frame;
    return display;
}

// The pairing as saved uuid -> connected display id, ordered for readable failures.
std::map<std::string, DisplayID> pairing(const std::vector<SavedDisplay>& s, const std::vector<DisplayInfo>& c) {
    std::map<std::string, DisplayID> ids;
    for (const auto& [uuid, display] : DisplayMatcher::map(s, c)) ids[uuid] = display.id;
    return ids;
}

TEST(DisplayMatcher, PairsByUuidAndKeyThenByKeyAlone) {
    const struct {
        const char* what;
        std::vector<SavedDisplay> saved;
        std::vector<DisplayInfo> connected;
        std::map<std::string, DisplayID> expected;
    } cases[] = {
        {"exact pairs come first, even for a later saved display",
         {saved("U1", K), saved("U2", K)},
         {connected(1, "U2", K), connected(2, "U3", K)},
         {{"U1", 2}, {"U2", 1}}},
        {"exact pass skips earlier key-only candidates",
         {saved("U1", K), saved("U2", K)},
         {connected(1, "U3", K), connected(2, "U1", K)},
         {{"U1", 2}, {"U2", 1}}},
        {"no uuid connected: both lists in order",
         {saved("U1", K), saved("U2", K)},
         {connected(1, "U3", K), connected(2, "U4", K)},
         {{"U1", 1}, {"U2", 2}}},
        {"uuid reused by another monitor does not pair",
         {saved("U1", K)},
         {connected(1, "U1", L)},
         {}},
        {"uuid reused by another monitor: pairs with its own key elsewhere",
         {saved("U1", K)},
         {connected(1, "U1", L), connected(2, "U9", K)},
         {{"U1", 2}}},
        {"serial numbers must match too",
         {saved("U1", K)},
         {connected(1, "U1", K2)},
         {}},
        {"a free display of another model is not used",
         {saved("U1", K), saved("U2", L)},
         {connected(1, "U5", L)},
         {{"U2", 1}}},
        {"more saved than connected of a model",
         {saved("U1", K), saved("U2", K), saved("U3", K)},
         {connected(5, "U7", K), connected(3, "U8", K)},
         {{"U1", 5}, {"U2", 3}}},
        {"more connected than saved",
         {saved("U1", K)},
         {connected(1, "U6", L), connected(2, "U7", K), connected(3, "U1", K)},
         {{"U1", 3}}},
        {"a repeated saved uuid gives one entry and uses one display",
         {saved("U1", K), saved("U1", K), saved("U3", K)},
         {connected(1, "U1", K), connected(2, "U2", K)},
         {{"U1", 1}, {"U3", 2}}},
        {"a repeated saved uuid with another key: the first that pairs keeps the entry",
         {saved("U1", L), saved("U1", K)},
         {connected(1, "U1", K), connected(2, "U2", L)},
         {{"U1", 1}}},
        {"nothing saved", {}, {connected(1, "U1", K)}, {}},
        {"nothing connected", {saved("U1", K)}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(pairing(c.saved, c.connected), c.expected);
    }
}

TEST(DisplayMatcher, EachConnectedDisplayIsTakenOnceByItsId) {
    // Two list entries for the same display id: the second must not be handed out again.
    const auto pairs = pairing({saved("U1", K), saved("U2", K)}, {connected(4, "U1", K), connected(4, "U2", K)});
    EXPECT_EQ(pairs, (std::map<std::string, DisplayID>{{"U1", 4}}));
}

TEST(DisplayMatcher, GivesTheWholeConnectedRecord) {
    const DisplayInfo display = connected(9, "U3", K);
    const auto pairs = DisplayMatcher::map({saved("U1", K)}, {display});
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs.at("U1"), display);
}

TEST(DisplayMatcher, EntryCountEqualsSavedCountExactlyWhenAllPaired) {
    const std::vector<SavedDisplay> layout{saved("U1", K), saved("U2", L)};
    EXPECT_EQ(DisplayMatcher::map(layout, {connected(2, "X", L), connected(1, "Y", K)}).size(), layout.size());
    EXPECT_LT(DisplayMatcher::map(layout, {connected(2, "X", L), connected(1, "Y", K2)}).size(), layout.size());
}

} // namespace
} // namespace qw
