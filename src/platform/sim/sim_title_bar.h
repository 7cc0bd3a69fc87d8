#pragma once

#include "model/rect.h"
#include "platform/sim/world.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace qw::sim {

// The elements across an app's title bars, as the window server and the app lay them out: where the
// controls are, what encloses what, and which parts take a press as the start of a drag.
//
// Frames are relative to the window's top-left corner. An element's parent is the smallest other
// element whose frame encloses it (the window itself when none does), so a control drawn inside a
// web area belongs to that web area.
class TitleBarLayout {
public:
    // The app's `titleBar`, or a plain title bar with the three window buttons at its left end.
    static TitleBarLayout of(const App& app);
    explicit TitleBarLayout(std::vector<TitleBarElement> elements);

    // A title bar is at least this tall; elements that reach lower make it taller (a toolbar).
    static constexpr double minimumHeight = 28;
    static const std::vector<TitleBarElement>& plainElements();

    const std::vector<TitleBarElement>& elements() const { return elements_; }
    std::optional<std::size_t> parent(std::size_t element) const { return parents_[element]; }
    double height() const { return height_; }

    // The innermost element under a point relative to the window; the later one of two alike.
    std::optional<std::size_t> elementAt(Point relative) const;
    // The element or one of its enclosing elements is a web area.
    bool insideWebArea(std::size_t element) const;
    // Pressing there starts dragging the window: a point of the title bar on its plain background,
    // on a toolbar, a title or a group that does nothing when pressed, and not in web content.
    bool isDraggableAt(Point relative) const;

private:
    std::vector<TitleBarElement> elements_;
    std::vector<std::optional<std::size_t>> parents_;
    double height_ = minimumHeight;
};

// Actions that do nothing when an element is pressed.
bool isHarmlessAction(const std::string& action);

} // namespace qw::sim
