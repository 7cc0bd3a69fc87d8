#pragma once

#include "model/ids.h"
#include "model/rect.h"
#include "model/uuid.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace qw {

enum class TileAxis {
    columns, // side by side: the axis runs left to right
    rows,    // stacked: the axis runs top to bottom
};

// Windows sharing a display's visible area along one axis, without gaps. Each member has a share
// of the axis length; the shares add up to 1. A group always has at least two members.
struct TileGroup {
    // The least share a divider leaves either of its neighbours.
    static constexpr double minimumShare = 0.1;

    Uuid id;
    std::string displayUUID;
    TileAxis axis = TileAxis::columns;
    std::vector<WindowID> windows; // along the axis: left to right, or top to bottom
    std::vector<double> fractions; // one share per member

    // The members' frames tiling `rect` exactly. Inner edges fall on whole points; the last member
    // takes up the rounding.
    std::map<WindowID, Rect> frames(const Rect& rect) const;
    // Where the divider after member `index` lies along the axis, unrounded.
    double divider(std::size_t index, const Rect& rect) const;
    // Moves the divider after member `index` toward `share` (the share member `index` would get),
    // keeping at least minimumShare on either side and the sum of the two shares. False when there
    // is no member after `index`.
    bool setShare(std::size_t index, double share);

    // Equal shares for the members as they are now.
    static std::vector<double> equalShares(std::size_t count);

    bool operator==(const TileGroup&) const = default;
};

// The start and length of a rectangle along the axis.
double axisStart(const Rect& rect, TileAxis axis);
double axisLength(const Rect& rect, TileAxis axis);

} // namespace qw
