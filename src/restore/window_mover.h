#pragma once

#include "model/rect.h"
#include "model/window_info.h"
#include "platform/accessibility.h"
#include "platform/platform.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace qw {

// The one place that changes another app's window through Accessibility: it puts one window at a
// frame and reads back where it went, closes a window, raises one, minimizes one. Synchronous; a
// hung app holds each call up for at most the messaging timeout set on its application element.
// Frames pass through unconverted: Accessibility positions use the window list's coordinates.
namespace WindowMover {

// The window is at the requested frame within the verification tolerance; the frame read back
// from it (the requested one when reading back failed).
struct Moved {
    Rect frame;
    bool operator==(const Moved&) const = default;
};
// The window took the move but ended somewhere else; the reason is a sentence for the user.
struct Adjusted {
    Rect requested;
    Rect actual;
    std::string reason;
    bool operator==(const Adjusted&) const = default;
};
// Nothing was done, or the app refused the position; the sentence says why.
struct Failed {
    std::string sentence;
    bool operator==(const Failed&) const = default;
};
using Outcome = std::variant<Moved, Adjusted, Failed>;

// Set on every application element made here, so that a hung app costs about a second a call.
inline constexpr double messagingTimeout = 1.0;
// The listed size counts as already right within this many points in width and height.
inline constexpr double sizePrecheckTolerance = 1;
// The frame read back counts as right within this many points in each coordinate.
inline constexpr double verificationTolerance = 2;

// Puts the window at `frame`: position, size (when settable and not already right), position
// again, then reads the frame back. Uses the window's id, pid, appName and listed frame. An app
// with enhanced user interface on (which animates resizes) has it switched off meanwhile and back
// on before this returns, whatever the outcome.
Outcome move(platform::Accessibility& ax, const WindowInfo& window, const Rect& frame);

// Presses the window's close button; true when that was done without error.
bool close(platform::Accessibility& ax, const WindowInfo& window);

// Raises the window (when its element is found), then activates its app whether or not it was.
void raise(platform::Platform platform, ProcessID pid, WindowID window);

// Sets "AXMinimized" on the window; none when its element is not found, else the error of the set
// (AXError::success when it worked).
std::optional<platform::AXError> setMinimized(platform::Accessibility& ax, ProcessID pid, WindowID window,
                                              bool minimized);

// The app's element with the messaging timeout above.
platform::AXElement applicationElement(platform::Accessibility& ax, ProcessID pid);

// The element of the window with that number inside the app: looked for in "AXWindows", then
// "AXChildren", then as "AXFocusedWindow", then as "AXMainWindow".
std::optional<platform::AXElement> element(platform::Accessibility& ax, WindowID window,
                                           const platform::AXElement& app);

// "AXPosition" and "AXSize" of the element; none unless both read as a point and a size.
std::optional<Rect> frame(platform::Accessibility& ax, const platform::AXElement& element);

// A Boolean attribute; false when it is missing, unreadable or not a Boolean.
bool boolAttribute(platform::Accessibility& ax, const platform::AXElement& element, std::string_view name);

// Set "AXPosition" or "AXSize"; none on success, else the error.
std::optional<platform::AXError> set(platform::Accessibility& ax, const platform::AXElement& element, Point position);
std::optional<platform::AXError> set(platform::Accessibility& ax, const platform::AXElement& element, Size size);

// How an error reads inside a sentence: "Accessibility off", "not implemented", "not supported",
// "app not responding", else "AX error " and the raw value.
std::string description(platform::AXError error);

} // namespace WindowMover

} // namespace qw
