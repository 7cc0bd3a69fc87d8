#include "editor/tile_group.h"

#include <algorithm>
#include <cmath>

namespace qw {

double axisStart(const Rect& rect, TileAxis axis) { return axis == TileAxis::columns ? rect.minX() : rect.minY(); }

double axisLength(const Rect& rect, TileAxis axis) {
    return axis == TileAxis::columns ? rect.standardized().width() : rect.standardized().height();
}

std::vector<double> TileGroup::equalShares(std::size_t count) {
    if (count == 0) return {};
    return std::vector<double>(count, 1.0 / static_cast<double>(count));
}

std::map<WindowID, Rect> TileGroup::frames(const Rect& rect) const {
    std::map<WindowID, Rect> result;
    const double min = axisStart(rect, axis);
    const double span = axisLength(rect, axis);
    const double max = min + span;
    const Rect across = rect.standardized();
    double start = min;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const bool last = i + 1 == windows.size();
        const double share = i < fractions.size() ? fractions[i] : 0;
        // Kept between the start and the far edge, so that rounding never makes a size negative.
        const double end = last ? max : std::clamp(std::round(start + span * share), start, std::max(start, max));
        result[windows[i]] = axis == TileAxis::columns ? Rect(start, across.minY(), end - start, across.height())
                                                       : Rect(across.minX(), start, across.width(), end - start);
        start = end;
    }
    return result;
}

double TileGroup::divider(std::size_t index, const Rect& rect) const {
    double before = 0;
    for (std::size_t i = 0; i <= index && i < fractions.size(); ++i) before += fractions[i];
    return axisStart(rect, axis) + axisLength(rect, axis) * before;
}

bool TileGroup::setShare(std::size_t index, double share) {
    if (index + 1 >= windows.size() || index + 1 >= fractions.size() || !std::isfinite(share)) return false;
    const double pair = fractions[index] + fractions[index + 1];
    // In a group of many narrow members the two neighbours may hold less than two minimum shares
    // together; then each keeps at least half of what they share, and neither goes below zero.
    const double least = std::min(minimumShare, pair / 2);
    fractions[index] = std::min(pair - least, std::max(least, share));
    fractions[index + 1] = pair - fractions[index];
    return true;
}

} // namespace qw
