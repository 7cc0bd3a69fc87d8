#include "model/snapper.h"

#include <algorithm>

namespace qw {

namespace {

// Roughly where a window's title bar is: a little below the middle of its top edge.
constexpr double titleBarProbeDepth = 10;
// How much of a window must stay within reach: the height of the visible area below its top edge,
// and the width of it left on its display.
constexpr double reachableHeight = 40;
constexpr double reachableWidth = 80;

// min(max(value, lower), upper), where the upper bound wins when the bounds cross (std::clamp
// requires lower <= upper).
double clampUpperWins(double value, double lower, double upper) { return std::min(std::max(value, lower), upper); }

} // namespace

std::optional<DisplayInfo> Snapper::owner(const Rect& r) const {
    if (displays.empty()) return std::nullopt;

    const Point probe{r.midX(), r.minY() + titleBarProbeDepth};
    for (const auto& display : displays)
        if (display.frame.contains(probe)) return display;

    // The largest overlap; a later display must be strictly larger to win, and when nothing
    // overlaps at all the first display is kept.
    const DisplayInfo* best = &displays.front();
    double bestArea = best->frame.intersection(r).area();
    for (const auto& display : displays) {
        const double area = display.frame.intersection(r).area();
        if (area > bestArea) {
            best = &display;
            bestArea = area;
        }
    }
    return *best;
}

Rect Snapper::keepReachable(const Rect& r) const {
    const auto display = owner(r);
    if (!display) return r;
    const Rect window = r.standardized();
    const Rect& visible = display->visibleFrame;
    const Rect& frame = display->frame;
    const double y = clampUpperWins(window.minY(), visible.minY(), visible.maxY() - reachableHeight);
    const double x =
        clampUpperWins(window.minX(), frame.minX() - window.width() + reachableWidth, frame.maxX() - reachableWidth);
    return Rect(x, y, window.width(), window.height());
}

} // namespace qw
