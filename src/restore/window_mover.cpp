#include "restore/window_mover.h"

#include "platform/workspace.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace qw::WindowMover {

using platform::AXAttributeValue;
using platform::AXElement;
using platform::AXError;
namespace Names = platform::AXNames;

namespace {

// The window with that number in a list attribute of the app, if the list reads.
std::optional<AXElement> findIn(platform::Accessibility& ax, const AXElement& app, const char* attribute,
                                WindowID window) {
    const auto value = ax.copyAttributeValue(app, attribute);
    if (!value) return std::nullopt;
    const auto* list = std::get_if<std::vector<AXElement>>(&*value);
    if (!list) return std::nullopt;
    for (const AXElement& candidate : *list) {
        const auto number = ax.windowNumber(candidate);
        if (number && *number == window) return candidate;
    }
    return std::nullopt;
}

// The app's single window of that attribute, if it is the one wanted.
std::optional<AXElement> findAs(platform::Accessibility& ax, const AXElement& app, const char* attribute,
                                WindowID window) {
    const auto value = ax.copyAttributeValue(app, attribute);
    if (!value) return std::nullopt;
    const auto* candidate = std::get_if<AXElement>(&*value);
    if (!candidate) return std::nullopt;
    const auto number = ax.windowNumber(*candidate);
    if (number && *number == window) return *candidate;
    return std::nullopt;
}

// The integer part of a coordinate or length, truncated toward zero. The system reports finite
// values; anything else reads as "?".
std::string wholePoints(double value) {
    const double whole = std::trunc(value);
    if (!std::isfinite(whole) || std::fabs(whole) > static_cast<double>(std::numeric_limits<std::int64_t>::max() / 2))
        return "?";
    return std::to_string(static_cast<std::int64_t>(whole));
}

// Switches enhanced user interface back on when the move is over, at whichever exit.
class EnhancedUserInterfaceRestorer {
public:
    EnhancedUserInterfaceRestorer(platform::Accessibility& ax, const AXElement& app) : ax_(ax), app_(app) {
        if (boolAttribute(ax_, app_, Names::enhancedUserInterface)) {
            switchedOff_ = true;
            ax_.setAttributeValue(app_, Names::enhancedUserInterface, false);
        }
    }
    ~EnhancedUserInterfaceRestorer() {
        if (switchedOff_) ax_.setAttributeValue(app_, Names::enhancedUserInterface, true);
    }
    EnhancedUserInterfaceRestorer(const EnhancedUserInterfaceRestorer&) = delete;
    EnhancedUserInterfaceRestorer& operator=(const EnhancedUserInterfaceRestorer&) = delete;

private:
    platform::Accessibility& ax_;
    AXElement app_;
    bool switchedOff_ = false;
};

} // namespace

std::string description(AXError error) {
    switch (error) {
    case AXError::apiDisabled:
        return "Accessibility off";
    case AXError::notImplemented:
        return "not implemented";
    case AXError::attributeUnsupported:
        return "not supported";
    case AXError::cannotComplete:
        return "app not responding";
    default:
        return "AX error " + std::to_string(platform::rawValue(error));
    }
}

AXElement applicationElement(platform::Accessibility& ax, ProcessID pid) {
    const AXElement app = ax.createApplication(pid);
    ax.setMessagingTimeout(app, messagingTimeout);
    return app;
}

std::optional<AXElement> element(platform::Accessibility& ax, WindowID window, const AXElement& app) {
    if (auto found = findIn(ax, app, Names::windows, window)) return found;
    if (auto found = findIn(ax, app, Names::children, window)) return found;
    if (auto found = findAs(ax, app, Names::focusedWindow, window)) return found;
    return findAs(ax, app, Names::mainWindow, window);
}

std::optional<Rect> frame(platform::Accessibility& ax, const AXElement& element) {
    const auto position = ax.copyAttributeValue(element, Names::position);
    if (!position) return std::nullopt;
    const auto size = ax.copyAttributeValue(element, Names::size);
    if (!size) return std::nullopt;
    const auto* origin = std::get_if<Point>(&*position);
    const auto* extent = std::get_if<Size>(&*size);
    if (!origin || !extent) return std::nullopt;
    return Rect(*origin, *extent);
}

bool boolAttribute(platform::Accessibility& ax, const AXElement& element, std::string_view name) {
    const auto value = ax.copyAttributeValue(element, name);
    if (!value) return false;
    const bool* b = std::get_if<bool>(&*value);
    return b && *b;
}

std::optional<AXError> set(platform::Accessibility& ax, const AXElement& element, Point position) {
    const AXError error = ax.setAttributeValue(element, Names::position, position);
    return error == AXError::success ? std::nullopt : std::optional(error);
}

std::optional<AXError> set(platform::Accessibility& ax, const AXElement& element, Size size) {
    const AXError error = ax.setAttributeValue(element, Names::size, size);
    return error == AXError::success ? std::nullopt : std::optional(error);
}

Outcome move(platform::Accessibility& ax, const WindowInfo& window, const Rect& target) {
    if (!ax.isProcessTrusted()) return Failed{"Accessibility permission is off"};
    const AXElement app = applicationElement(ax, window.pid);
    const auto found = element(ax, window.id, app);
    if (!found) return Failed{window.appName + " didn't expose this window (it may be on another desktop)"};
    const AXElement& w = *found;

    const EnhancedUserInterfaceRestorer enhancedUserInterface(ax, app);

    if (const auto error = set(ax, w, target.origin))
        return Failed{window.appName + " refused the move (" + description(*error) + ")"};

    const bool sizeMatched = std::fabs(window.frame.width() - target.width()) <= sizePrecheckTolerance &&
                             std::fabs(window.frame.height() - target.height()) <= sizePrecheckTolerance;
    const auto settable = ax.isAttributeSettable(w, Names::size);
    const bool resizable = settable && *settable;
    if (resizable && !sizeMatched) set(ax, w, target.size);
    // Again: a window that could not grow where it was takes its place once its size changed.
    set(ax, w, target.origin);

    const auto actual = frame(ax, w);
    if (!actual) return Moved{target};
    if (actual->isNearly(target, verificationTolerance)) return Moved{*actual};

    std::string reason;
    if (sizeMatched || resizable) {
        const bool sizeHeld = std::fabs(actual->width() - target.width()) <= verificationTolerance &&
                              std::fabs(actual->height() - target.height()) <= verificationTolerance;
        reason = sizeHeld ? window.appName + " ended up at " + wholePoints(actual->minX()) + ", " +
                                wholePoints(actual->minY())
                          : window.appName + " kept a size of " + wholePoints(actual->width()) + "×" +
                                wholePoints(actual->height());
    } else {
        reason = window.appName + " has a fixed size, so it was moved but not resized";
    }
    return Adjusted{target, *actual, std::move(reason)};
}

bool close(platform::Accessibility& ax, const WindowInfo& window) {
    const AXElement app = applicationElement(ax, window.pid);
    const auto found = element(ax, window.id, app);
    if (!found) return false;
    const auto button = ax.copyAttributeValue(*found, Names::closeButton);
    if (!button) return false;
    const auto* pressable = std::get_if<AXElement>(&*button);
    if (!pressable) return false;
    return ax.performAction(*pressable, Names::press) == AXError::success;
}

void raise(platform::Platform platform, ProcessID pid, WindowID window) {
    const AXElement app = applicationElement(platform.accessibility, pid);
    if (const auto found = element(platform.accessibility, window, app))
        platform.accessibility.performAction(*found, Names::raise);
    platform.workspace.activate(pid);
}

std::optional<AXError> setMinimized(platform::Accessibility& ax, ProcessID pid, WindowID window, bool minimized) {
    const AXElement app = applicationElement(ax, pid);
    const auto found = element(ax, window, app);
    if (!found) return std::nullopt;
    return ax.setAttributeValue(*found, Names::minimized, minimized);
}

} // namespace qw::WindowMover
