#include "editor/window_actions.h"

#include "editor/layout_editor.h"
#include "platform/workspace.h"
#include "restore/window_mover.h"
#include "system/inventory.h"

#include <algorithm>
#include <set>

namespace qw {

std::string desktopLabel(const SpaceInfo& space) {
    return space.nickname ? *space.nickname : space.name;
}

// ---- Desktop bookkeeping ---------------------------------------------------------------------------

SpaceID WindowActions::shownSpaceID(const DisplayInfo& display) const {
    const auto entry = shownSpace_->find(display.uuid);
    return entry != shownSpace_->end() ? entry->second : display.currentSpaceID;
}

void WindowActions::putOnShownDesktop(const std::vector<WindowID>& ids, const DisplayInfo& display) {
    SpaceID shown = shownSpaceID(display);
    const auto space = std::find_if(display.spaces.begin(), display.spaces.end(),
                                    [&](const SpaceInfo& s) { return s.id == shown; });
    if (space == display.spaces.end() || space->isFullscreen) {
        shown = display.currentSpaceID;
        shownSpace_->erase(display.uuid);
    }
    // No checkpoint: the edit that placed the windows made one.
    for (const WindowID id : ids) editor_->setDesktop(id, shown, display);
}

// ---- Lookups ---------------------------------------------------------------------------------------

std::vector<WindowInfo> WindowActions::selection() const {
    std::set<WindowID> ids = editor_->multiSelection();
    if (ids.empty() && editor_->selected()) ids.insert(*editor_->selected());
    std::vector<WindowInfo> selected;
    if (ids.empty()) return selected;
    for (const WindowInfo& w : inventory_->windows())
        if (ids.contains(w.id)) selected.push_back(w);
    for (WindowInfo& w : editor_->plannedWindows(inventory_->displays()))
        if (ids.contains(w.id)) selected.push_back(std::move(w));
    return selected;
}

std::optional<DesktopTargets> WindowActions::desktopTargets(const WindowInfo& window) const {
    if (editor_->isPlanned(window.id) || !inventory_->isMovable(window) || window.spaceIDs.size() != 1)
        return std::nullopt;
    auto display = inventory_->displayContaining(window);
    if (!display) return std::nullopt;
    DesktopTargets targets{*display, {}};
    for (const SpaceInfo& space : display->spaces)
        if (!space.isFullscreen && space.id != window.spaceIDs.front()) targets.spaces.push_back(space);
    return targets;
}

std::optional<std::string> WindowActions::fetchNote(const WindowInfo& window) const {
    if (editor_->isPlanned(window.id) || !inventory_->displayContaining(window)) return std::nullopt;
    const auto app = platform_.workspace.runningApplication(window.pid);
    if (app && app->isHidden) return "Its app is hidden. Apply shows it.";
    return std::nullopt;
}

// ---- Canvas-only actions ---------------------------------------------------------------------------

void WindowActions::remove(const WindowInfo& window) {
    const auto& multi = editor_->multiSelection();
    editor_->remove(multi.contains(window.id) ? multi : std::set<WindowID>{window.id}, *inventory_);
}

void WindowActions::undoMove(const WindowInfo& window) {
    editor_->checkpoint();
    editor_->detach(window.id);
    FrameMap pending = editor_->pending();
    pending.erase(window.id);
    editor_->setPending(std::move(pending));
}

void WindowActions::untile(const WindowInfo& window) {
    editor_->checkpoint();
    editor_->detach(window.id);
}

void WindowActions::tileSelection(TileAxis axis) {
    const std::set<WindowID> chosen = editor_->multiSelection();
    const auto display = editor_->tileSelection(*inventory_, axis);
    // Every chosen window goes to the shown desktop, also those the tiling left out.
    if (display) putOnShownDesktop({chosen.begin(), chosen.end()}, *display);
}

void WindowActions::deselect() {
    editor_->setSelected(std::nullopt);
    editor_->setMultiSelection({});
}

void WindowActions::bringToFront(const WindowInfo& window) {
    WindowMover::raise(platform_, window.pid, window.id);
}

} // namespace qw
