// The helpers of restore planning: carrying frames between displays, finding a saved desktop, and
// the counts and name lists of the plan's sentences.
#include "restore/restorer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace qw::Restorer {

namespace {

constexpr double sameSizeTolerance = 0.001;
// Distinct names shown in a list before it is cut short.
constexpr std::size_t namesShown = 4;

bool usableLength(double length) { return std::isfinite(length) && length > 0; }

// min(max(value, lower), upper): the upper bound wins when the window does not fit.
double clampUpperWins(double value, double lower, double upper) { return std::min(std::max(value, lower), upper); }

} // namespace

std::optional<Rect> translate(const Rect& rect, const SavedDisplay& saved, const DisplayInfo& display) {
    // The saved size comes from a file; dividing by a size that is not positive would put NaN or
    // infinity into a frame.
    if (!usableLength(saved.frame.width()) || !usableLength(saved.frame.height())) return std::nullopt;
    const Rect from = saved.frame;
    const Rect to = display.frame.standardized();

    const Rect r = rect.standardized();
    const double sx = to.width() / from.width();
    const double sy = to.height() / from.height();
    const bool sameSize = std::abs(sx - 1) < sameSizeTolerance && std::abs(sy - 1) < sameSizeTolerance;

    double width = sameSize ? r.width() : std::round(sx * r.width());
    double height = sameSize ? r.height() : std::round(sy * r.height());
    double x = to.minX() + sx * (r.minX() - from.minX());
    double y = to.minY() + sy * (r.minY() - from.minY());

    const Rect visible = display.visibleFrame.standardized();
    width = std::min(width, visible.width());
    height = std::min(height, visible.height());
    if (!sameSize) {
        x = clampUpperWins(x, visible.minX(), visible.maxX() - width);
        y = clampUpperWins(y, visible.minY(), visible.maxY() - height);
    }

    const double left = std::floor(x);
    const double top = std::floor(y);
    const Rect result(left, top, std::ceil(x + width) - left, std::ceil(y + height) - top);
    if (!std::isfinite(result.x()) || !std::isfinite(result.y()) || !std::isfinite(result.width()) ||
        !std::isfinite(result.height()))
        return std::nullopt;
    return result;
}

std::optional<SpaceInfo> savedDesktop(const SavedWindow& saved, const DisplayInfo& display) {
    std::vector<const SpaceInfo*> desktops;
    for (const auto& space : display.spaces)
        if (!space.isFullscreen) desktops.push_back(&space);

    if (saved.spaceUUID && !saved.spaceUUID->empty()) {
        for (const auto* desktop : desktops)
            if (desktop->uuid == *saved.spaceUUID) return *desktop;
    }
    if (saved.desktopNumber) {
        const int number = *saved.desktopNumber;
        if (number >= 1 && static_cast<std::size_t>(number) <= desktops.size())
            return *desktops[static_cast<std::size_t>(number - 1)];
        return std::nullopt;
    }
    if (saved.spaceIndex) {
        for (const auto* desktop : desktops)
            if (desktop->index == *saved.spaceIndex) return *desktop;
    }
    return std::nullopt;
}

std::string count(const std::vector<std::string>& list) {
    return list.size() == 1 ? std::string("1 window") : std::to_string(list.size()) + " windows";
}

std::string names(const std::vector<std::string>& list, bool counts) {
    std::map<std::string, std::size_t> tally;
    for (const auto& name : list) ++tally[name];
    std::vector<std::pair<std::string, std::size_t>> ordered(tally.begin(), tally.end()); // by name
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.second > b.second; });

    std::string text;
    const std::size_t shown = ordered.size() >= namesShown + 1 ? namesShown : ordered.size();
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) text += ", ";
        text += ordered[i].first;
        if (counts && ordered[i].second > 1) text += " \u00D7" + std::to_string(ordered[i].second);
    }
    if (shown < ordered.size()) text += ", \u2026";
    return text;
}

} // namespace qw::Restorer
