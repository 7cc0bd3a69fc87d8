#include "editor/window_visit.h"

#include "desktops/space_mover.h"
#include "platform/main_loop.h"
#include "platform/workspace.h"
#include "system/inventory.h"

#include <algorithm>

namespace qw::WindowVisit {

WindowInfo reread(const Inventory& inventory, const WindowInfo& window) {
    return inventory.window(window.id).value_or(window);
}

Task<bool> visiting(platform::Platform platform, const SkyLight& skyLight, Inventory& inventory, WindowInfo window,
                    Action action) {
    // A hidden app's windows are neither listed nor reachable; it is not hidden again afterwards.
    if (const auto app = platform.workspace.runningApplication(window.pid); app && app->isHidden) {
        platform.workspace.unhide(window.pid);
        co_await platform.loop.sleep(Timing::afterUnhide);
    }
    inventory.refresh();
    WindowInfo visited = reread(inventory, window);
    if (inventory.isReachable(visited)) co_return co_await action(visited);

    if (visited.spaceIDs.size() != 1) co_return false;
    const auto display = inventory.displayContaining(visited);
    if (!display) co_return false;
    const auto space = std::find_if(display->spaces.begin(), display->spaces.end(),
                                    [&](const SpaceInfo& s) { return s.id == visited.spaceIDs.front(); });
    const auto current = display->currentSpace();
    if (space == display->spaces.end() || !current) co_return false;

    const int returnTo = current->index;
    co_await SpaceMover::show(platform, skyLight, space->index, *display);
    co_await platform.loop.sleep(Timing::afterSwitch);
    inventory.refresh();
    visited = reread(inventory, window);
    bool result = false;
    if (inventory.isReachable(visited)) result = co_await action(visited);

    // Back to the desktop the user was looking at.
    const auto& displays = inventory.displays();
    const auto now = std::find_if(displays.begin(), displays.end(), [&](const DisplayInfo& d) { return d.id == display->id; });
    if (now != displays.end()) {
        const auto showing = now->currentSpace();
        if (!showing || showing->index != returnTo) co_await SpaceMover::show(platform, skyLight, returnTo, *now);
    }
    inventory.refresh();
    co_return result;
}

} // namespace qw::WindowVisit
