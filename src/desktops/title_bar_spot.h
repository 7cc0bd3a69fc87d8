#pragma once

#include "model/rect.h"
#include "model/window_info.h"
#include "platform/accessibility.h"
#include "platform/platform.h"
#include "platform/task.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// Finding a spot on a window's title bar that a synthetic press may hold: an element that can be
// held, not one that acts when pressed or that lies in web content. Neither search posts an event;
// both only look. Points are global top-left-origin coordinates.
namespace qw::SpaceMover {

// Roles whose elements may be held directly.
inline constexpr std::array<std::string_view, 3> draggableRoles{"AXWindow", "AXToolbar", "AXStaticText"};
// A group whose actions are all among these does nothing when pressed.
inline constexpr std::array<std::string_view, 4> harmlessActions{"AXShowMenu", "AXScrollToVisible", "AXShowDefaultUI",
                                                                 "AXShowAlternateUI"};

// Where along the title bar `grabPoint` looks, as fractions of the window's width, and how far
// below the top edge both searches look, in order.
inline constexpr std::array<double, 9> candidateFractions{0.5, 0.35, 0.65, 0.25, 0.75, 0.2, 0.8, 0.15, 0.85};
inline constexpr std::array<double, 3> rowOffsets{10, 16, 6};
inline constexpr double hitTestTimeout = 0.5; // seconds, for each hit-test of `grabPoint`
inline constexpr int parentWalkLimit = 15;

// Asks Accessibility what lies under a fixed series of points along the title bar; the first that
// belongs to the window's app and is safe to hold.
std::optional<Point> grabPoint(platform::Accessibility& accessibility, const WindowInfo& window);

// The fallback: the middle of the longest plain stretch of the title bar in a picture of the
// window, where Accessibility agrees it is safe. Needs the screen-recording permission, and asks for
// nothing without it.
Task<std::optional<Point>> plainTitleBarPoint(platform::Platform platform, WindowInfo window);

// A window, toolbar or text; or a group that does nothing when pressed and lies in the window
// rather than in web content.
bool isSafeToHold(platform::Accessibility& accessibility, const platform::AXElement& element);

// An attribute read as a string; none when unreadable or not a string.
std::optional<std::string> string(platform::Accessibility& accessibility, const platform::AXElement& element,
                                  std::string_view attribute);

} // namespace qw::SpaceMover
