#include "desktops/space_mover.h"

#include "desktops/busy_flag.h"
#include "desktops/desktop_gate.h"
#include "desktops/synthetic_input.h"
#include "desktops/title_bar_spot.h"
#include "platform/accessibility.h"
#include "platform/input.h"
#include "platform/main_loop.h"
#include "platform/preferences.h"
#include "platform/symbolic_hot_keys.h"
#include "platform/window_server.h"
#include "restore/window_mover.h"
#include "system/inventory.h"
#include "system/skylight.h"

#include <algorithm>
#include <cstdlib>

namespace qw::SpaceMover {

namespace {

using platform::MouseEvent;
using Type = MouseEvent::Type;

// A move in progress; a second one is refused rather than queued, because its caller would
// otherwise carry windows from a picture of the screen that the first move is changing.
bool busy = false;

const char* directionWord(bool right) { return right ? "right" : "left"; }

const SpaceInfo* spaceWithIndex(const DisplayInfo& display, int index) {
    for (const SpaceInfo& s : display.spaces)
        if (s.index == index) return &s;
    return nullptr;
}

void press(platform::Input& input, const Shortcut& shortcut) {
    SyntheticInput::pressShortcut(input, shortcut.keyCode, shortcut.flags);
}

// Presses the shortcut until the display shows `space`; the caller holds the gate.
Task<void> stepHolding(platform::Platform platform, const SkyLight& skyLight, DisplayInfo display, SpaceID space,
                       bool right) {
    const std::optional<Shortcut> shortcut = Shortcut::move(platform.preferences, right);
    if (!shortcut) co_return;

    // The shortcut acts on the display under the pointer.
    const std::optional<Point> pointer = platform.input.pointerLocation();
    const Rect inner = display.frame.insetBy(pointerMargin, pointerMargin);
    const bool warped = !pointer || !inner.contains(*pointer);
    if (warped) platform.input.warpPointer(Point{display.frame.midX(), display.frame.midY()});

    for (std::size_t round = 0; round <= display.spaces.size(); ++round) {
        if (showing(skyLight, display) == space) break;
        press(platform.input, *shortcut);
        co_await platform.loop.sleep(Timing::afterStepPress);
    }
    if (warped && pointer) platform.input.warpPointer(*pointer);
}

// Puts the window back at `frame` when it is listed somewhere else.
void putBack(platform::Platform platform, const Inventory& inventory, WindowID id, const Rect& frame) {
    const std::optional<WindowInfo> now = inventory.window(id);
    if (now && !now->frame.isNearly(frame, unchangedWithin)) WindowMover::move(platform.accessibility, *now, frame);
}

// One press-drag attempt: whether the window followed the pointer, or none when it has closed.
Task<std::optional<bool>> tryToHold(platform::Platform platform, WindowID id, Point spot, double startX) {
    platform::Input& input = platform.input;
    MainLoop& loop = platform.loop;
    SyntheticInput::mouse(input, Type::moved, spot);
    co_await loop.sleep(Timing::afterPointerMove);
    SyntheticInput::mouse(input, Type::leftDown, spot);
    co_await loop.sleep(Timing::afterPress);
    for (double dx = dragStep; dx <= dragDistance; dx += dragStep) {
        SyntheticInput::mouse(input, Type::leftDragged, Point{spot.x + dx, spot.y}, static_cast<std::int64_t>(dragStep), 0);
        co_await loop.sleep(Timing::betweenDragSteps);
    }
    co_await loop.sleep(Timing::beforeHoldCheck);
    for (int check = 0; check < Timing::holdChecks; ++check) {
        if (check > 0) co_await loop.sleep(Timing::beforeHoldCheck);
        const Rect live = liveFrame(platform.windowServer, id);
        // A window the list no longer has is gone, not held: pressing on would act on whatever lies
        // under the pointer now.
        if (live.isNull()) co_return std::nullopt;
        if (live.minX() - startX >= heldAfter) co_return true;
    }
    co_return false;
}

Task<Outcome> moveHolding(platform::Platform platform, const SkyLight& skyLight, WindowID id, int index,
                          Inventory& inventory) {
    MainLoop& loop = platform.loop;
    platform::Input& input = platform.input;

    if (!platform.accessibility.isProcessTrusted()) co_return Failed{"Accessibility permission is off"};

    inventory.refresh();
    const std::optional<WindowInfo> found = inventory.window(id);
    if (!found) co_return Failed{"The window has closed"};
    const WindowInfo window = *found;
    const std::string& app = window.appName;
    const Rect original = window.frame;

    const std::optional<DisplayInfo> display = inventory.displayContaining(window);
    const std::optional<SpaceInfo> current = display ? display->currentSpace() : std::nullopt;
    if (!display || !current || !inventory.isReachable(window))
        co_return Failed{app + " isn't on the desktop showing on its display"};
    if (window.spaceIDs.size() != 1) co_return Failed{app + " is on every desktop"};

    const SpaceInfo* targetSpace = spaceWithIndex(*display, index);
    if (!targetSpace || targetSpace->isFullscreen) co_return Failed{"That isn't a regular desktop on " + display->name};
    const SpaceInfo target = *targetSpace;
    if (index == current->index) co_return Moved{index};

    const bool right = current->index < index;
    const std::optional<Shortcut> shortcut = Shortcut::move(platform.preferences, right);
    if (!shortcut)
        co_return Failed{std::string("Turn on \u201CMove ") + directionWord(right) +
                         " a space\u201D in Keyboard Shortcuts \u203A Mission Control"};

    SyntheticInput::letGoOfAllModifiers(input);
    WindowMover::raise(platform, window.pid, window.id);
    co_await loop.sleep(Timing::afterRaise);

    std::optional<Point> spot = grabPoint(platform.accessibility, window);
    if (!spot) spot = co_await plainTitleBarPoint(platform, window);
    if (!spot) co_return Failed{"Couldn't find a free spot on " + app + "'s title bar to hold"};
    const double x = spot->x, y = spot->y;
    const Point pointer = input.pointerLocation().value_or(*spot);
    const Point heldAt{x + dragDistance, y};

    // Hold the title bar: press, drag a little, and see whether the window follows.
    bool held = false;
    for (int attempt = 1; attempt <= holdAttempts && !held; ++attempt) {
        const std::optional<bool> followed = co_await tryToHold(platform, id, *spot, original.minX());
        if (!followed) {
            SyntheticInput::mouse(input, Type::leftUp, heldAt);
            input.warpPointer(pointer);
            co_return Failed{"The window has closed"};
        }
        held = *followed;
        if (!held) {
            SyntheticInput::mouse(input, Type::leftUp, heldAt);
            co_await loop.sleep(Timing::afterFailedHold);
        }
    }
    if (!held) {
        inventory.refresh();
        putBack(platform, inventory, id, original);
        input.warpPointer(pointer);
        co_return Failed{app + " didn't respond to holding its title bar, so nothing was moved"};
    }

    // Switch desktops with the window in hand, keeping the hold alive with small drags.
    const int needed = std::abs(index - current->index);
    int presses = 1;
    press(input, *shortcut);
    SyntheticInput::mouse(input, Type::leftDragged, heldAt, -1, 0);
    bool atRight = false; // the pointer is at x + 10; the next keep-alive drag goes to x + 11
    for (int tick = 1;; ++tick) {
        co_await loop.sleep(Timing::holdTick);
        if (tick < Timing::ticksPerPress) {
            atRight = !atRight;
            SyntheticInput::mouse(input, Type::leftDragged, Point{atRight ? x + dragDistance + 1 : x + dragDistance, y},
                                  atRight ? 1 : -1, 0);
            continue;
        }
        if (presses == needed || showing(skyLight, *display) == target.id) break;
        press(input, *shortcut);
        ++presses;
        SyntheticInput::mouse(input, Type::leftDragged, heldAt, -1, 0);
        atRight = false;
        tick = 0;
    }

    SyntheticInput::mouse(input, Type::leftUp, heldAt);
    co_await loop.sleep(Timing::afterRelease);

    const std::vector<SpaceID> spaces = skyLight.spacesForWindow(id);
    const bool arrived = std::find(spaces.begin(), spaces.end(), target.id) != spaces.end();
    if (arrived) {
        inventory.refresh();
        if (const std::optional<WindowInfo> now = inventory.window(id);
            now && !now->frame.isNearly(original, unchangedWithin)) {
            WindowMover::move(platform.accessibility, *now, original);
            co_await loop.sleep(Timing::afterFramePutBack);
        }
    }
    co_await stepHolding(platform, skyLight, *display, current->id, current->index >= index);
    inventory.refresh();
    input.warpPointer(pointer);
    if (arrived) co_return Moved{index};
    if (liveFrame(platform.windowServer, id).isNull()) co_return Failed{"The window has closed"};
    co_return Failed{app + " didn't follow the desktop switch; its title bar may not be draggable there"};
}

} // namespace

std::optional<Shortcut> Shortcut::move(platform::PreferenceDomains& preferences, bool right) {
    namespace Keys = platform::SymbolicHotKeys;
    const Keys::HotKey fallback{right ? platform::KeyCodes::rightArrow : platform::KeyCodes::leftArrow,
                                platform::ModifierFlags::control | platform::ModifierFlags::function};
    const std::optional<platform::PropertyValue> hotKeys = preferences.copyValue(Keys::key, Keys::domain);
    const auto hotKey =
        Keys::read(hotKeys ? &*hotKeys : nullptr, right ? Keys::moveRightASpace : Keys::moveLeftASpace, fallback);
    if (!hotKey) return std::nullopt;
    return Shortcut{hotKey->keyCode, hotKey->flags};
}

bool isBusy() { return busy; }

Task<Outcome> move(platform::Platform platform, const SkyLight& skyLight, WindowInfo window, int index,
                   Inventory& inventory) {
    if (busy) co_return Failed{"Another desktop move is still running"};
    const BusyFlag flag(busy);
    const DesktopGate::Turn turn = co_await DesktopGate::shared().enter(platform.loop);
    co_return co_await moveHolding(platform, skyLight, window.id, index, inventory);
}

Task<void> show(platform::Platform platform, const SkyLight& skyLight, int index, DisplayInfo display) {
    const DesktopGate::Turn turn = co_await DesktopGate::shared().enter(platform.loop);
    const SpaceInfo* target = spaceWithIndex(display, index);
    if (!target) co_return;
    const std::optional<SpaceID> currentID = showing(skyLight, display);
    const auto current = std::find_if(display.spaces.begin(), display.spaces.end(),
                                      [&](const SpaceInfo& s) { return currentID && s.id == *currentID; });
    if (current == display.spaces.end()) co_return;
    co_await stepHolding(platform, skyLight, display, target->id, current->index < index);
}

Task<void> step(platform::Platform platform, const SkyLight& skyLight, DisplayInfo display, SpaceID space, bool right) {
    const DesktopGate::Turn turn = co_await DesktopGate::shared().enter(platform.loop);
    co_await stepHolding(platform, skyLight, display, space, right);
}

Rect liveFrame(platform::WindowServer& windowServer, WindowID window) {
    const auto list = windowServer.copyWindowList(platform::WindowServer::ListOption::allWindows);
    if (!list) return Rect::null();
    for (const platform::PropertyValue& entry : *list) {
        const platform::PropertyValue* number = entry.member(platform::WindowKeys::number);
        if (!number || number->asUInt32() != window) continue;
        const platform::PropertyValue* bounds = entry.member(platform::WindowKeys::bounds);
        const std::optional<Rect> frame = bounds ? platform::rectFromBoundsDictionary(*bounds) : std::nullopt;
        return frame.value_or(Rect::null());
    }
    return Rect::null();
}

std::optional<SpaceID> showing(const SkyLight& skyLight, const DisplayInfo& display) {
    const SkyLight::SpacesByDisplay byDisplay = skyLight.spacesByDisplay();
    auto entry = byDisplay.find(display.uuid);
    if (entry == byDisplay.end()) entry = byDisplay.find("Main");
    if (entry == byDisplay.end()) return std::nullopt;
    return entry->second.current;
}

} // namespace qw::SpaceMover
