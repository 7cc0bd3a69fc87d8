#pragma once

#include "platform/clock.h"
#include "platform/sim/element_tree.h"
#include "platform/sim/sim_state.h"

#include <map>

namespace qw::sim {

class TimelinePlayer;

// The Accessibility elements of the world's running apps: each app's element, its windows, and
// each window's close button, answered from the world as it is at the moment of the call.
//
// An app lists under "AXWindows" and "AXChildren" its windows on a desktop being shown and its
// minimized ones (windows on other desktops are not exposed, as on macOS), front to back; its
// focused and main window is the frontmost of those that is not minimized (an app that hides its
// windows has no main window). The app's behaviours
// apply: a refused move, an offset, a fixed size, size limits, windows that snap back after a move,
// windows hidden from the lists, and enhanced user interface (while it is on, a window animates a
// new size and is caught halfway). A window's close button is the first "AXButton" across its
// title bar (a plain title bar's leftmost); a title bar described without one has no close button.
class AppElementTree final : public ElementTree {
public:
    // How long after a move an app that snaps back puts its window back.
    static constexpr double snapBackDelay = 0.5;

    AppElementTree(SimState& state, TimelinePlayer& timeline) : state_(state), timeline_(timeline) {}

    bool owns(const AXElement& element) const override;
    AXResult<AXAttributeValue> copyAttributeValue(const AXElement& element, std::string_view attribute) override;
    AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                              const AXAttributeValue& value) override;
    AXResult<bool> isAttributeSettable(const AXElement& element, std::string_view attribute) override;
    AXError performAction(const AXElement& element, std::string_view action) override;
    AXResult<std::vector<std::string>> copyActionNames(const AXElement& element) override;
    AXResult<WindowID> windowNumber(const AXElement& element) override;
    // The frontmost window on screen under the point (its close button when the point is on it).
    std::optional<AXElement> elementAt(Point position, std::optional<ProcessID> process) override;

    // The frame of a window's close button, when it has one.
    std::optional<Rect> closeButtonFrame(const App& app, const Window& window) const;

private:
    AXResult<AXAttributeValue> applicationAttribute(const App& app, std::string_view attribute) const;
    AXResult<AXAttributeValue> windowAttribute(const App& app, const Window& window, std::string_view attribute) const;
    AXResult<AXAttributeValue> closeButtonAttribute(const App& app, const Window& window,
                                                    std::string_view attribute) const;
    AXError setWindowAttribute(const App& app, const Window& window, std::string_view attribute,
                               const AXAttributeValue& value);
    AXError moveTo(const App& app, const Window& window, const Rect& frame);

    // The app's windows Accessibility exposes, front to back.
    std::vector<const Window*> exposedWindows(const App& app) const;
    std::optional<AXElement> focusedWindow(const App& app) const;
    // The window a window or close-button element stands for, if it still exists.
    const Window* windowOf(const AXElement& element) const;

    SimState& state_;
    TimelinePlayer& timeline_;
    // When each window's pending snap back is due (world time since the start).
    std::map<WindowID, Duration> snapBacks_;
};

} // namespace qw::sim
