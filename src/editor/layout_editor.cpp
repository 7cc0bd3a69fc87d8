#include "editor/layout_editor.h"

#include "model/snapper.h"
#include "system/inventory.h"

#include <algorithm>

namespace qw {

namespace {

bool isFullscreenSpaceOf(const DisplayInfo& display, SpaceID id) {
    return std::any_of(display.spaces.begin(), display.spaces.end(),
                       [&](const SpaceInfo& s) { return s.id == id && s.isFullscreen; });
}

} // namespace

Subscription LayoutEditor::observe(Property property, std::function<void()> observer) const {
    auto call = [observer = std::move(observer)](const auto&) { observer(); };
    switch (property) {
    case Property::pending: return pending_.subscribe(call);
    case Property::selected: return selected_.subscribe(call);
    case Property::multiSelection: return multiSelection_.subscribe(call);
    case Property::arrangingBeforePreview: return arrangingBeforePreview_.subscribe(call);
    case Property::arranging: return arranging_.subscribe(call);
    case Property::previewBaseline: return previewBaseline_.subscribe(call);
    case Property::placed: return placed_.subscribe(call);
    case Property::desktops: return desktops_.subscribe(call);
    case Property::plannedApps: return plannedApps_.subscribe(call);
    case Property::nextPlannedID: return nextPlannedID_.subscribe(call);
    case Property::previewing: return previewing_.subscribe(call);
    case Property::tileGroups: return tileGroups_.subscribe(call);
    case Property::report: return report_.subscribe(call);
    case Property::undoFrames: return undoFrames_.subscribe(call);
    case Property::undoHiddenApps: return undoHiddenApps_.subscribe(call);
    case Property::undoMinimized: return undoMinimized_.subscribe(call);
    case Property::history: return history_.subscribe(call);
    }
    return Subscription();
}

// ---- Queries -------------------------------------------------------------------------------------

bool LayoutEditor::previewEdited() const {
    return previewing() && previewBaseline() && snapshot() != *previewBaseline();
}

bool LayoutEditor::hasUnsavedWork() const {
    return !pending().empty() || !plannedApps().empty() || previewEdited() || (isNewLayout() && !placed().empty());
}

Snapshot LayoutEditor::snapshot() const {
    Snapshot snapshot{pending(), placed(), {}, desktops()};
    for (const auto& [id, app] : plannedApps()) snapshot.planned.insert(id);
    return snapshot;
}

EditState LayoutEditor::editState() const {
    return EditState{pending(), placed(), desktops(), plannedApps(), tileGroups(), arranging()};
}

SpaceID LayoutEditor::desktop(WindowID id, const DisplayInfo& display) const {
    if (const auto chosen = desktops().find(id); chosen != desktops().end()) {
        const bool stillThere = std::any_of(display.spaces.begin(), display.spaces.end(),
                                            [&](const SpaceInfo& s) { return s.id == chosen->second; });
        if (stillThere) return chosen->second;
    }
    return display.currentSpaceID;
}

std::vector<WindowInfo> LayoutEditor::plannedWindows(const std::vector<DisplayInfo>& displays) const {
    std::vector<WindowInfo> windows;
    const Snapper snapper{displays, {}};
    std::int64_t number = 0;
    for (const auto& [id, app] : plannedApps()) { // ascending ids
        const std::int64_t position = number++;
        const auto frame = pending().find(id);
        if (frame == pending().end()) continue;
        WindowInfo window;
        window.id = id;
        window.pid = 0;
        window.appName = app.name;
        window.bundleID = app.bundleID;
        window.title = plannedTitle;
        window.frame = frame->second;
        if (const auto owner = snapper.owner(frame->second)) window.spaceIDs = {desktop(id, *owner)};
        window.isOnScreen = true;
        window.zOrder = -1 - position;
        windows.push_back(std::move(window));
    }
    return windows;
}

CanvasContents LayoutEditor::canvasContents(const std::vector<DisplayInfo>& displays) const {
    CanvasContents canvas;
    canvas.pending = pending();
    for (const auto& [id, app] : plannedApps()) canvas.plannedAppPaths[id] = app.url;
    canvas.plannedWindows = plannedWindows(displays);
    canvas.desktops = desktops();
    canvas.arranging = arranging();
    canvas.placed = placed();
    if (previewing()) {
        canvas.unshownWindows = unshownWindows_;
        canvas.unshownDisplays = unshownDisplays_;
    }
    return canvas;
}

// ---- Placing and planning ------------------------------------------------------------------------

void LayoutEditor::place(WindowID id, const Rect& frame) {
    checkpoint();
    detach(id);
    modify(pending_, [&](FrameMap& pending) { pending[id] = frame; });
    modify(placed_, [&](std::set<WindowID>& placed) { placed.insert(id); });
    selected_.set(id);
}

std::optional<WindowID> LayoutEditor::plan(PlannedApp app, const Rect& frame, std::optional<SpaceID> desktop) {
    if (nextPlannedID() == noPlannedIDLeft) return std::nullopt;
    checkpoint();
    const WindowID id = nextPlannedID();
    nextPlannedID_.set(id + 1);
    modify(plannedApps_, [&](PlannedAppMap& apps) { apps[id] = std::move(app); });
    modify(pending_, [&](FrameMap& pending) { pending[id] = frame; });
    modify(desktops_, [&](DesktopMap& desktops) {
        if (desktop)
            desktops[id] = *desktop;
        else
            desktops.erase(id);
    });
    if (arranging()) modify(placed_, [&](std::set<WindowID>& placed) { placed.insert(id); });
    selected_.set(id);
    multiSelection_.set({});
    return id;
}

void LayoutEditor::setDesktop(WindowID id, SpaceID space, const DisplayInfo& display) {
    modify(desktops_, [&](DesktopMap& desktops) {
        if (space == display.currentSpaceID)
            desktops.erase(id);
        else
            desktops[id] = space;
    });
}

// ---- Removing ------------------------------------------------------------------------------------

void LayoutEditor::removeSelection(const Inventory& inventory) {
    std::set<WindowID> ids = multiSelection();
    if (ids.empty() && selected()) ids.insert(*selected());
    remove(ids, inventory);
}

void LayoutEditor::remove(const std::set<WindowID>& ids, const Inventory& inventory) {
    if (ids.empty()) return;
    checkpoint();

    if (!arranging()) {
        // The canvas showed every current window; the layout being built keeps all but the removed.
        std::set<WindowID> shown;
        auto records = inventory.windows();
        const auto planned = plannedWindows(inventory.displays());
        records.insert(records.end(), planned.begin(), planned.end());
        for (const auto& record : records) {
            if (pending().contains(record.id)) {
                shown.insert(record.id);
                continue;
            }
            const auto display = inventory.displayContaining(record);
            if (!display) continue;
            if (std::any_of(record.spaceIDs.begin(), record.spaceIDs.end(),
                            [&](SpaceID s) { return isFullscreenSpaceOf(*display, s); }))
                continue;
            shown.insert(record.id);
            // Remember where it lives, so that the layout keeps it on its desktop.
            if (!desktops().contains(record.id) && record.spaceIDs.size() == 1)
                setDesktop(record.id, record.spaceIDs.front(), *display);
        }
        arranging_.set(true);
        placed_.set(std::move(shown));
    }

    std::vector<std::string> names;
    for (const WindowID id : ids) {
        if (const auto app = plannedApps().find(id); app != plannedApps().end()) {
            names.push_back(app->second.name);
            removePlanned(id);
            continue;
        }
        if (const auto window = inventory.window(id)) names.push_back(window->appName);
        unplace(id);
    }
    selected_.set(std::nullopt);
    multiSelection_.set({});

    if (!names.empty()) {
        std::string joined;
        for (const auto& name : names) joined += (joined.empty() ? "" : ", ") + name;
        report_.set(Report{0, {},
                           "Removed " + joined + " from the canvas. Save it as a layout, or Apply to hide what isn't on it",
                           std::nullopt, false});
    }
}

void LayoutEditor::unplace(WindowID id) {
    detach(id);
    modify(pending_, [&](FrameMap& pending) { pending.erase(id); });
    modify(desktops_, [&](DesktopMap& desktops) { desktops.erase(id); });
    modify(placed_, [&](std::set<WindowID>& placed) { placed.erase(id); });
    modify(multiSelection_, [&](std::set<WindowID>& selection) { selection.erase(id); });
    if (selected() == id) selected_.set(std::nullopt);
}

void LayoutEditor::removePlanned(WindowID id) {
    unplace(id);
    modify(plannedApps_, [&](PlannedAppMap& apps) { apps.erase(id); });
}

void LayoutEditor::detach(WindowID id) {
    modify(tileGroups_, [&](std::vector<TileGroup>& groups) {
        for (std::size_t i = groups.size(); i-- > 0;) {
            auto& group = groups[i];
            std::erase(group.windows, id);
            if (group.windows.size() < 2)
                groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(i));
            else if (group.fractions.size() != group.windows.size())
                group.fractions = TileGroup::equalShares(group.windows.size());
        }
    });
}

void LayoutEditor::forgetClosed(const std::set<WindowID>& listed) {
    const auto kept = [&](WindowID id) { return listed.contains(id) || isPlanned(id); };
    modify(pending_, [&](FrameMap& pending) { std::erase_if(pending, [&](const auto& e) { return !kept(e.first); }); });
    modify(desktops_, [&](DesktopMap& desktops) { std::erase_if(desktops, [&](const auto& e) { return !kept(e.first); }); });
    modify(placed_, [&](std::set<WindowID>& placed) { std::erase_if(placed, [&](WindowID id) { return !kept(id); }); });
    modify(multiSelection_, [&](std::set<WindowID>& selection) { std::erase_if(selection, [&](WindowID id) { return !kept(id); }); });
    const auto groups = tileGroups();
    for (const auto& group : groups)
        for (const WindowID id : group.windows)
            if (!kept(id)) detach(id);
}

// ---- Starting over -------------------------------------------------------------------------------

void LayoutEditor::newLayoutFromCurrentWindows(const Inventory& inventory) {
    revert();
    arranging_.set(true);
    std::set<WindowID> showing;
    for (const auto& window : inventory.windows()) {
        const auto display = inventory.displayContaining(window);
        if (!display) continue;
        const auto current = display->currentSpace();
        if (!current || current->isFullscreen) continue;
        if (std::find(window.spaceIDs.begin(), window.spaceIDs.end(), current->id) != window.spaceIDs.end())
            showing.insert(window.id);
    }
    placed_.set(std::move(showing));
    multiSelection_.set({});
}

void LayoutEditor::revert() {
    endPreview();
    clearHistory();
    plannedApps_.set({});
    pending_.set({});
    placed_.set({});
    desktops_.set({});
    tileGroups_.set({});
    multiSelection_.set({});
    report_.set(std::nullopt);
}

void LayoutEditor::endPreview() {
    if (previewing() && arrangingBeforePreview()) {
        const bool before = *arrangingBeforePreview();
        arranging_.set(before);
        if (!before) placed_.set({});
    }
    previewing_.set(std::nullopt);
    arrangingBeforePreview_.set(std::nullopt);
}

// ---- History -------------------------------------------------------------------------------------

void LayoutEditor::checkpoint() {
    modify(history_, [&](EditHistory& history) { history.checkpoint(editState()); });
}

void LayoutEditor::dropCheckpointIfUnchanged() {
    modify(history_, [&](EditHistory& history) { history.dropIfUnchanged(editState()); });
}

void LayoutEditor::undoEdit() {
    std::optional<EditState> state;
    modify(history_, [&](EditHistory& history) { state = history.pop(); });
    if (!state) return;
    restore(*state);
    selected_.set(std::nullopt);
    multiSelection_.set({});
}

void LayoutEditor::clearHistory() { history_.set(EditHistory{}); }

void LayoutEditor::restore(const EditState& state) {
    pending_.set(state.pending);
    placed_.set(state.placed);
    desktops_.set(state.desktops);
    plannedApps_.set(state.plannedApps);
    tileGroups_.set(state.tileGroups);
    arranging_.set(state.arranging);
}

} // namespace qw
