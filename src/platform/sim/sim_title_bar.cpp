#include "platform/sim/sim_title_bar.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace qw::sim {

namespace {

bool encloses(const Rect& outer, const Rect& inner) {
    const Rect o = outer.standardized(), i = inner.standardized();
    return o.minX() <= i.minX() && o.minY() <= i.minY() && i.maxX() <= o.maxX() && i.maxY() <= o.maxY();
}

bool holds(const Rect& frame, Point p) {
    const Rect f = frame.standardized();
    return f.minX() <= p.x && p.x < f.maxX() && f.minY() <= p.y && p.y < f.maxY();
}

} // namespace

bool isHarmlessAction(const std::string& action) {
    static constexpr std::array<std::string_view, 4> harmless{"AXShowMenu", "AXScrollToVisible", "AXShowDefaultUI",
                                                              "AXShowAlternateUI"};
    return std::find(harmless.begin(), harmless.end(), action) != harmless.end();
}

const std::vector<TitleBarElement>& TitleBarLayout::plainElements() {
    // Close, minimize and zoom.
    static const std::vector<TitleBarElement> plain{
        {"AXButton", Rect(8, 7, 14, 14), {"AXPress"}},
        {"AXButton", Rect(28, 7, 14, 14), {"AXPress"}},
        {"AXButton", Rect(48, 7, 14, 14), {"AXPress"}},
    };
    return plain;
}

TitleBarLayout TitleBarLayout::of(const App& app) {
    return TitleBarLayout(app.behaviour.titleBar ? *app.behaviour.titleBar : plainElements());
}

TitleBarLayout::TitleBarLayout(std::vector<TitleBarElement> elements)
    : elements_(std::move(elements)), parents_(elements_.size()) {
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        const Rect& frame = elements_[i].frame;
        height_ = std::max(height_, frame.standardized().maxY());
        double best = 0;
        for (std::size_t j = 0; j < elements_.size(); ++j) {
            if (j == i || !encloses(elements_[j].frame, frame)) continue;
            const double area = elements_[j].frame.standardized().area();
            // Of two elements with the same frame the earlier encloses the later, never both ways.
            if (area == frame.standardized().area() && j > i) continue;
            if (!parents_[i] || area < best) {
                parents_[i] = j;
                best = area;
            }
        }
    }
}

std::optional<std::size_t> TitleBarLayout::elementAt(Point relative) const {
    std::optional<std::size_t> found;
    double best = 0;
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        if (!holds(elements_[i].frame, relative)) continue;
        const double area = elements_[i].frame.standardized().area();
        if (!found || area <= best) {
            found = i;
            best = area;
        }
    }
    return found;
}

bool TitleBarLayout::insideWebArea(std::size_t element) const {
    for (std::optional<std::size_t> e = element; e; e = parents_[*e])
        if (elements_[*e].role == "AXWebArea") return true;
    return false;
}

bool TitleBarLayout::isDraggableAt(Point relative) const {
    if (relative.x < 0 || relative.y < 0 || relative.y >= height_) return false;
    const std::optional<std::size_t> element = elementAt(relative);
    if (!element) return true; // the bar's own background
    if (insideWebArea(*element)) return false;
    const TitleBarElement& e = elements_[*element];
    if (e.role == "AXWindow" || e.role == "AXToolbar" || e.role == "AXStaticText" || e.role == "AXUnknown")
        return true;
    if (e.role == "AXGroup") return std::all_of(e.actions.begin(), e.actions.end(), isHarmlessAction);
    return false; // a control: pressing it works the control
}

} // namespace qw::sim
