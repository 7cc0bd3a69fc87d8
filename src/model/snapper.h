#pragma once

#include "model/display_info.h"
#include "model/rect.h"

#include <optional>
#include <vector>

namespace qw {

// Answers which display owns a rectangle and keeps a rectangle where its title bar can be reached.
// The canvas adds its snapping on top of the same value, using `neighbors`.
struct Snapper {
    std::vector<DisplayInfo> displays; // the Inventory's order, left edge ascending
    std::vector<Rect> neighbors;       // other windows' frames, for the canvas's snapping only

    std::optional<DisplayInfo> owner(const Rect& r) const;
    Rect keepReachable(const Rect& r) const;
};

} // namespace qw
