#pragma once

#include "model/display_info.h"
#include "model/rect.h"
#include "model/window_info.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "platform/task.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace qw {

class Inventory;
class SkyLight;

namespace platform {
class PreferenceDomains;
class WindowServer;
} // namespace platform

// Carries another app's window to a different desktop the way a person does: it holds the window
// by its title bar with a synthetic mouse press and, while the button is down, presses the user's
// shortcut for moving a space left or right until the display shows the target desktop; the held
// window travels along. Then it lets go, checks that the window arrived, puts its frame back if the
// trip moved it, and shows the desktop the user was on again. A move takes a second or more and
// moves the user's pointer.
//
// Every operation here that posts input or switches desktops waits for its turn at the shared
// DesktopGate, and only one move runs at a time: a second one is refused at once.
namespace SpaceMover {

// What `move` came to: the window is on the desktop with the index asked for, or a sentence for
// the user saying why not.
struct Moved {
    int index = 0;
    bool operator==(const Moved&) const = default;
};
struct Failed {
    std::string sentence;
    bool operator==(const Failed&) const = default;
};
using Outcome = std::variant<Moved, Failed>;

// One keyboard shortcut: a virtual key code and modifier flags (CGEventFlags).
struct Shortcut {
    std::uint16_t keyCode = 0;
    std::uint64_t flags = 0;

    // The user's shortcut for moving right (or left) a space; none when the user switched it off.
    // The system default (control, function and the arrow key) when the setting is missing or
    // malformed.
    static std::optional<Shortcut> move(platform::PreferenceDomains& preferences, bool right);

    bool operator==(const Shortcut&) const = default;
};

// Waits, on the loop's clock.
namespace Timing {
using std::chrono::milliseconds;
inline constexpr Duration afterRaise = milliseconds(400);
inline constexpr Duration afterPointerMove = milliseconds(150);
inline constexpr Duration afterPress = milliseconds(200);
inline constexpr Duration betweenDragSteps = milliseconds(40);
inline constexpr Duration beforeHoldCheck = milliseconds(80);
inline constexpr int holdChecks = 8;
inline constexpr Duration afterFailedHold = milliseconds(400);
inline constexpr Duration holdTick = milliseconds(80);
inline constexpr int ticksPerPress = 10;
inline constexpr Duration afterRelease = milliseconds(300);
inline constexpr Duration afterFramePutBack = milliseconds(200);
inline constexpr Duration afterStepPress = milliseconds(800);
} // namespace Timing

// Distances, in points.
inline constexpr double dragDistance = 10;
inline constexpr double dragStep = 2;
inline constexpr double heldAfter = 4;          // the left edge has moved this far: the window follows
inline constexpr double unchangedWithin = 1;    // frames this close count as the same
inline constexpr double pointerMargin = 40;     // `step` wants the pointer this far inside the display
inline constexpr int holdAttempts = 2;

// Carries the window (only its id is taken; everything else is read afresh from the Inventory) to
// the desktop with that index (`SpaceInfo::index`) on the display that holds it.
Task<Outcome> move(platform::Platform platform, const SkyLight& skyLight, WindowInfo window, int index,
                   Inventory& inventory);

// Switches the display to its desktop with that index by pressing the shortcut, holding nothing.
Task<void> show(platform::Platform platform, const SkyLight& skyLight, int index, DisplayInfo display);

// Presses the shortcut for that direction until the display shows `space`, at most once per desktop
// the display lists, plus one.
Task<void> step(platform::Platform platform, const SkyLight& skyLight, DisplayInfo display, SpaceID space, bool right);

// The window's bounds straight from the window list; the null rectangle when it is not listed.
Rect liveFrame(platform::WindowServer& windowServer, WindowID window);

// The id of the desktop the display shows now (by its UUID, else under "Main"); none when the
// system reports neither.
std::optional<SpaceID> showing(const SkyLight& skyLight, const DisplayInfo& display);

// A move is running.
bool isBusy();

} // namespace SpaceMover

} // namespace qw
