#pragma once

#include "model/display_info.h"
#include "model/space_info.h"
#include "platform/accessibility.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "platform/task.h"

#include <chrono>
#include <optional>
#include <string>
#include <variant>

namespace qw {

class Inventory;

// Adds and removes desktops the only way the system allows: by working Mission Control's own
// interface through Accessibility. It opens Mission Control, finds the desktop bar of the display,
// presses the bar's add button or removes one desktop's thumbnail, watches the Inventory until the
// change shows, and closes Mission Control again, whatever the outcome.
//
// One request at a time: a second one while one runs is refused. Both wait for their turn at the
// shared DesktopGate, so that Mission Control never opens while a window is being carried.
namespace DesktopManager {

struct Added {
    SpaceInfo space; // as the refreshed Inventory lists it
    bool operator==(const Added&) const = default;
};
struct Failed {
    std::string sentence;
    bool operator==(const Failed&) const = default;
};
struct Removed {
    bool operator==(const Removed&) const = default;
};
using Outcome = std::variant<Added, Failed, Removed>;

inline constexpr const char* windowManagerBundleID = "com.apple.WindowManager";
inline constexpr const char* missionControlApp = "/System/Applications/Mission Control.app";
inline constexpr double messagingTimeout = 1.0; // seconds, on the window manager's element
inline constexpr double barTolerance = 2;       // points a bar's centre may lie outside its display

namespace Timing {
using std::chrono::milliseconds;
inline constexpr Duration beforeBarSearch = milliseconds(120);
inline constexpr int barSearches = 25;
inline constexpr Duration beforeResultCheck = milliseconds(150);
inline constexpr int resultChecks = 20;
inline constexpr Duration afterClosing = milliseconds(600);
} // namespace Timing

Task<Outcome> addDesktop(platform::Platform platform, DisplayInfo display, Inventory& inventory);
// `name` is the desktop's title in Mission Control: its `SpaceInfo::name`, such as "Desktop 3".
Task<Outcome> removeDesktop(platform::Platform platform, SpaceID id, std::string name, DisplayInfo display,
                            Inventory& inventory);

// Opens Mission Control and finds the desktop bar of the display; none when the window manager is
// not running or no bar shows up on that display in time.
Task<std::optional<platform::AXElement>> openMissionControl(platform::Platform platform, DisplayInfo display);
// Escape, then a moment for Mission Control to close.
Task<void> closeMissionControl(platform::Platform platform);

// An add or remove is running.
bool isBusy();

} // namespace DesktopManager

} // namespace qw
