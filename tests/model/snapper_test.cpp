#include "model/snapper.h"

#include <gtest/gtest.h>

#include <string>

namespace qw {
namespace {

DisplayInfo display(DisplayID id, Rect frame, Rect visibleFrame) {
    DisplayInfo d;
    d.id = id;
    d.name = "Display " + std::to_string(id);
    d.frame = frame;
    d.visibleFrame = visibleFrame;
    return d;
}

// The main display with a menu bar and a 40-point Dock, one to its right, one above it, and one
// to the far right with a gap before it.
const DisplayInfo mainDisplay = display(1, Rect(0, 0, 1440, 900), Rect(0, 25, 1440, 835));
const DisplayInfo right = display(2, Rect(1440, 0, 1920, 1080), Rect(1440, 0, 1920, 1080));
const DisplayInfo above = display(3, Rect(0, -1080, 1920, 1080), Rect(0, -1080, 1920, 1080));
const DisplayInfo apart = display(4, Rect(3560, 0, 1000, 800), Rect(3560, 0, 1000, 800));

std::optional<DisplayID> ownerID(const Snapper& snapper, const Rect& r) {
    const auto owner = snapper.owner(r);
    return owner ? std::optional(owner->id) : std::nullopt;
}

TEST(Snapper, OwnerOfARectangle) {
    const struct {
        const char* what;
        std::vector<DisplayInfo> displays;
        Rect rect;
        std::optional<DisplayID> owner;
    } cases[] = {
        {"inside one display", {mainDisplay, right}, Rect(100, 100, 400, 300), 1},
        {"title bar above, most of the area below", {mainDisplay, above}, Rect(100, -50, 800, 600), 3},
        {"probe exactly on the shared edge belongs to the right display", {mainDisplay, right},
         Rect(1340, 100, 200, 100), 2},
        {"probe on the top edge of the lower display", {above, mainDisplay}, Rect(100, -10, 400, 300), 1},
        {"probe 10.5 points above the main display", {mainDisplay, above}, Rect(100, -20.5, 400, 300), 3},
        {"probe off every display: the largest overlap", {mainDisplay, right}, Rect(1000, -200, 1000, 300), 2},
        {"equal overlaps: the earlier display", {right, apart}, Rect(3260, -100, 400, 150), 2},
        {"equal overlaps, other order", {apart, right}, Rect(3260, -100, 400, 150), 4},
        {"a later display must be strictly larger", {mainDisplay, right}, Rect(1340, -300, 200, 310), 1},
        {"in the gap between displays: the first display", {right, apart}, Rect(3400, 100, 100, 100), 2},
        {"far off every display: the first display", {apart, mainDisplay}, Rect(-5000, -5000, 10, 10), 4},
        {"touching a display only at an edge counts as no overlap", {mainDisplay, right},
         Rect(3360, 100, 50, 50), 1},
        {"no displays", {}, Rect(100, 100, 400, 300), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ownerID(Snapper{c.displays, {}}, c.rect), c.owner);
    }
}

TEST(Snapper, KeepReachableMovesWithoutResizing) {
    const struct {
        const char* what;
        Rect rect;
        Rect expected;
    } cases[] = {
        {"already reachable", Rect(100, 100, 500, 400), Rect(100, 100, 500, 400)},
        {"top edge under the menu bar", Rect(100, 15, 500, 400), Rect(100, 25, 500, 400)},
        {"top edge 20 points above the visible bottom", Rect(100, 840, 500, 400), Rect(100, 820, 500, 400)},
        {"top edge exactly 40 points above the visible bottom", Rect(100, 820, 500, 400), Rect(100, 820, 500, 400)},
        {"hanging 450 points off the right edge", Rect(1390, 100, 500, 400), Rect(1360, 100, 500, 400)},
        {"hanging 450 points off the left edge", Rect(-450, 100, 500, 400), Rect(-420, 100, 500, 400)},
        {"exactly 80 points left on the left", Rect(-420, 100, 500, 400), Rect(-420, 100, 500, 400)},
        {"far away in both directions", Rect(-5000, 5000, 300, 200), Rect(-220, 820, 300, 200)},
        {"wider than the display", Rect(-1000, 100, 3000, 400), Rect(-1000, 100, 3000, 400)},
    };
    const Snapper snapper{{mainDisplay}, {}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(snapper.keepReachable(c.rect), c.expected);
    }
}

TEST(Snapper, KeepReachableUsesTheOwnersFrames) {
    const Snapper snapper{{mainDisplay, right, above}, {}};
    // Owned by the display on the right: kept within its frame, which has no menu bar.
    EXPECT_EQ(snapper.keepReachable(Rect(3300, 5, 400, 300)), Rect(3280, 5, 400, 300));
    // Owned by the display above: may sit well above the main display.
    EXPECT_EQ(snapper.keepReachable(Rect(-350, -1000, 400, 300)), Rect(-320, -1000, 400, 300));
}

TEST(Snapper, UpperBoundWinsWhenBoundsCross) {
    // A visible area 30 points high and a display 50 points wide.
    const DisplayInfo tiny = display(7, Rect(0, 0, 50, 100), Rect(0, 25, 50, 30));
    const Snapper snapper{{tiny}, {}};
    EXPECT_EQ(snapper.keepReachable(Rect(10, 30, 20, 20)), Rect(-30, 15, 20, 20));
}

TEST(Snapper, KeepReachableWithNoDisplaysReturnsItsArgument) {
    const Snapper snapper;
    EXPECT_EQ(snapper.keepReachable(Rect(-5000, 9000, 10, 10)), Rect(-5000, 9000, 10, 10));
    EXPECT_TRUE(snapper.keepReachable(Rect::null()).isNull());
}

TEST(Snapper, KeepReachableStandardizesANegativeSize) {
    const Snapper snapper{{mainDisplay}, {}};
    EXPECT_EQ(snapper.keepReachable(Rect(600, 415, -500, -400)), Rect(100, 25, 500, 400));
}

} // namespace
} // namespace qw
