#include "store/capture.h"

#include "model/snapper.h"
#include "platform/workspace.h"
#include "store/layout_store.h"
#include "system/inventory.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace qw {

namespace {

const SpaceInfo* spaceWithID(const DisplayInfo& display, SpaceID id) {
    for (const auto& space : display.spaces)
        if (space.id == id) return &space;
    return nullptr;
}

// The 1-based position among the display's ordinary desktops.
std::optional<int> desktopNumber(const DisplayInfo& display, const SpaceInfo& desktop) {
    int number = 0;
    for (const auto& space : display.spaces) {
        if (space.isFullscreen) continue;
        ++number;
        if (&space == &desktop) return number;
    }
    return std::nullopt;
}

std::optional<SavedWindow> savedWindow(const WindowInfo& window, const Snapper& snapper, const CanvasContents* canvas,
                                       const Capture::AppPathLookup& appPath) {
    Rect frame = window.frame;
    if (canvas) {
        if (const auto entry = canvas->pending.find(window.id); entry != canvas->pending.end()) frame = entry->second;
    }
    const auto display = snapper.owner(frame);
    if (!display) return std::nullopt;

    std::vector<const SpaceInfo*> own;
    for (const SpaceID id : window.spaceIDs)
        if (const auto* space = spaceWithID(*display, id)) own.push_back(space);
    // Full-screen windows are never recorded.
    if (std::any_of(own.begin(), own.end(), [](const SpaceInfo* s) { return s->isFullscreen; })) return std::nullopt;

    const SpaceInfo* desktop = nullptr;
    bool explicitDesktop = false;
    if (canvas) {
        if (const auto chosen = canvas->desktops.find(window.id); chosen != canvas->desktops.end()) {
            const auto* space = spaceWithID(*display, chosen->second);
            if (space && !space->isFullscreen) {
                desktop = space;
                explicitDesktop = true;
            }
        }
    }
    if (!desktop && window.spaceIDs.size() == 1) {
        // Not on any desktop of this display (dragged there on the canvas): the one it shows.
        desktop = !own.empty() ? own.front() : spaceWithID(*display, display->currentSpaceID);
    }

    const std::string* plannedPath = nullptr;
    if (canvas) {
        if (const auto planned = canvas->plannedAppPaths.find(window.id); planned != canvas->plannedAppPaths.end())
            plannedPath = &planned->second;
    }

    SavedWindow saved;
    saved.bundleID = window.bundleID;
    saved.appName = window.appName;
    saved.title = plannedPath ? std::string() : window.title;
    saved.display = display->uuid;
    saved.frame = frame;
    saved.zOrder = window.zOrder;
    if (plannedPath)
        saved.appPath = *plannedPath;
    else if (appPath)
        saved.appPath = appPath(window.pid);
    if (desktop) {
        saved.spaceIndex = desktop->index;
        if (explicitDesktop) saved.keepsDesktop = true;
        if (!desktop->uuid.empty()) saved.spaceUUID = desktop->uuid;
        saved.desktopNumber = desktopNumber(*display, *desktop);
    }
    return saved;
}

// Appends the saved windows the canvas could not show, and the saved displays they need that the
// capture does not have, keeping the displays in left-edge order.
void keepUnshown(SavedLayout& layout, const CanvasContents& canvas) {
    const auto has = [&](const std::string& uuid) {
        return std::any_of(layout.displays.begin(), layout.displays.end(),
                           [&](const SavedDisplay& d) { return d.uuid == uuid; });
    };
    for (const auto& window : canvas.unshownWindows) {
        layout.windows.push_back(window);
        if (has(window.display)) continue;
        const auto saved = std::find_if(canvas.unshownDisplays.begin(), canvas.unshownDisplays.end(),
                                        [&](const SavedDisplay& d) { return d.uuid == window.display; });
        if (saved == canvas.unshownDisplays.end()) continue;
        const auto after = std::upper_bound(layout.displays.begin(), layout.displays.end(), *saved,
                                            [](const SavedDisplay& a, const SavedDisplay& b) {
                                                return a.frame.minX() < b.frame.minX();
                                            });
        layout.displays.insert(after, *saved);
    }
}

} // namespace

namespace Capture {

AppPathLookup bundlePaths(platform::Workspace& workspace) {
    auto known = std::make_shared<std::unordered_map<ProcessID, std::optional<std::string>>>();
    return [&workspace, known](ProcessID pid) -> std::optional<std::string> {
        auto entry = known->find(pid);
        if (entry == known->end()) {
            const auto app = workspace.runningApplication(pid);
            entry = known->emplace(pid, app ? app->bundlePath : std::nullopt).first;
        }
        return entry->second;
    };
}

SavedLayout capture(const std::string& name, const Inventory& inventory, const CanvasContents* canvas,
                    const AppPathLookup& appPath, Timestamp now) {
    SavedLayout layout;
    layout.id = Uuid::random();
    layout.name = name;
    layout.created = layout.updated = now;
    layout.autoRestore = false;

    const auto& displays = inventory.displays();
    layout.displays.reserve(displays.size());
    for (const auto& display : displays)
        layout.displays.push_back({display.uuid, display.key, display.name, display.frame, display.visibleFrame});

    const Snapper snapper{displays, {}};
    const auto consider = [&](const WindowInfo& window) {
        if (canvas && canvas->arranging && !canvas->placed.contains(window.id)) return;
        if (auto saved = savedWindow(window, snapper, canvas, appPath)) layout.windows.push_back(std::move(*saved));
    };
    for (const auto& window : inventory.windows()) consider(window);
    if (canvas) {
        for (const auto& window : canvas->plannedWindows) consider(window);
        keepUnshown(layout, *canvas);
    }
    return layout;
}

SavedLayout saveCurrent(LayoutStore& store, const std::string& name, const Inventory& inventory,
                        const CanvasContents* canvas, const AppPathLookup& appPath, bool autoRestore) {
    auto layout = capture(name, inventory, canvas, appPath, store.now());
    store.add(layout);
    if (autoRestore) {
        store.setAutoRestore(layout.id, true);
        layout.autoRestore = true;
    }
    return layout;
}

std::optional<SavedLayout> updateToCurrent(LayoutStore& store, const Uuid& id, const Inventory& inventory,
                                           const CanvasContents* canvas, const AppPathLookup& appPath) {
    const auto old = store.layout(id);
    if (!old) return std::nullopt;
    auto layout = capture(old->name, inventory, canvas, appPath, store.now());
    layout.id = old->id;
    layout.created = old->created;
    layout.autoRestore = old->autoRestore;
    if (!store.replace(layout)) return std::nullopt;
    // The capture may have been made on other monitors than the old one; the kept flag must then
    // not leave a second automatic layout for them. setAutoRestore writes the file again, once.
    if (layout.autoRestore) {
        const auto& all = store.layouts();
        const bool clash = std::any_of(all.begin(), all.end(), [&](const SavedLayout& other) {
            return other.id != layout.id && other.autoRestore && other.hasSameDisplays(layout);
        });
        if (clash) store.setAutoRestore(layout.id, true);
    }
    return layout;
}

} // namespace Capture

} // namespace qw
