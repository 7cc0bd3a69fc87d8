#pragma once

#include "model/window_info.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "platform/task.h"

#include <chrono>
#include <functional>
#include <optional>

namespace qw {

class Inventory;
class SkyLight;

// Acting on a real window that may not be within reach: its app hidden, or the window on a desktop
// its display is not showing.
namespace WindowVisit {

namespace Timing {
using std::chrono::milliseconds;
inline constexpr Duration afterUnhide = milliseconds(400);
inline constexpr Duration afterSwitch = milliseconds(800);
} // namespace Timing

// What to do on the window once it is in reach, given the window as read afresh; true when it worked.
using Action = std::function<Task<bool>(WindowInfo)>;

// The window as the Inventory lists it now, else as it was given.
WindowInfo reread(const Inventory& inventory, const WindowInfo& window);

// Makes the window reachable and runs the action on it: unhides its app (which stays shown), and
// when the window lives on a desktop its display is not showing, switches the display there first
// and back afterwards. False, without running the action, when the window cannot be reached: on
// several desktops, on no display, or on a display that reports no current desktop.
Task<bool> visiting(platform::Platform platform, const SkyLight& skyLight, Inventory& inventory, WindowInfo window,
                    Action action);

} // namespace WindowVisit

} // namespace qw
