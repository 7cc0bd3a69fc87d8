#include "soak/step_player.h"

#include "editor/listed_windows.h"
#include "store/capture.h"
#include "system/inventory.h"

#include <algorithm>
#include <set>

namespace qw::soak {

namespace {

namespace A = actions;

std::optional<WindowInfo> listed(const Inventory& inventory, WindowID id) {
    const auto& windows = inventory.windows();
    const auto found = std::find_if(windows.begin(), windows.end(), [&](const WindowInfo& w) { return w.id == id; });
    if (found == windows.end()) return std::nullopt;
    return *found;
}

const SavedLayout* layoutAt(const LayoutStore& store, std::size_t index) {
    return index < store.layouts().size() ? &store.layouts()[index] : nullptr;
}

class ActionPlayer {
public:
    ActionPlayer(HeadlessApp& app, std::vector<TaskHandle<>>& running)
        : app_(app), editor_(app.editor), inventory_(app.system.inventory()), running_(running) {}

    bool operator()(const A::Place& a) {
        if (!listed(inventory_, a.window)) return false;
        for (int i = a.drags - 1; i >= 0; --i) editor_.place(a.window, a.frame.offsetBy(-5.0 * i, -3.0 * i));
        return true;
    }
    bool operator()(const A::Tile& a) {
        const auto& displays = inventory_.displays();
        const auto display = std::find_if(displays.begin(), displays.end(), [&](const DisplayInfo& d) { return d.id == a.display; });
        if (display == displays.end()) return false;
        editor_.tile(a.windows, *display, a.axis);
        return true;
    }
    bool operator()(const A::TileSelection& a) {
        editor_.setMultiSelection(std::set<WindowID>(a.windows.begin(), a.windows.end()));
        app_.actions.tileSelection(a.axis);
        return true;
    }
    bool operator()(const A::MoveDivider& a) {
        const auto& groups = editor_.tileGroups();
        if (a.group >= groups.size()) return false;
        const TileGroup group = groups[a.group];
        const auto& displays = inventory_.displays();
        const auto display = std::find_if(displays.begin(), displays.end(),
                                          [&](const DisplayInfo& d) { return d.uuid == group.displayUUID; });
        if (display == displays.end()) return false;
        const Rect& area = display->visibleFrame;
        editor_.checkpoint();
        editor_.moveDivider(group.id, a.after, axisStart(area, group.axis) + a.fraction * axisLength(area, group.axis),
                            displays);
        editor_.dropCheckpointIfUnchanged();
        return true;
    }
    bool operator()(const A::Detach& a) {
        const auto window = listed(inventory_, a.window);
        if (!window) return false;
        app_.actions.untile(*window);
        return true;
    }
    bool operator()(const A::Remove& a) {
        if (!listed(inventory_, a.window)) return false;
        editor_.remove({a.window}, inventory_);
        return true;
    }
    bool operator()(const A::UndoEdit&) {
        editor_.undoEdit();
        return true;
    }
    bool operator()(const A::Apply&) {
        editor_.applySavingEdits(app_.store, app_.editorSystem, std::nullopt);
        return true;
    }
    bool operator()(const A::UndoApply&) {
        if (!editor_.canUndo()) return false;
        editor_.undo(app_.editorSystem);
        return true;
    }
    bool operator()(const A::Save& a) {
        const CanvasContents canvas = editor_.canvasContents(inventory_.displays());
        const CanvasContents* from = a.fromCanvas ? &canvas : nullptr;
        const auto paths = Capture::bundlePaths(app_.system.platform().workspace);
        // A user with many layouts saves into one of them again rather than adding more.
        if (const SavedLayout* layout = layoutAt(app_.store, a.layout); layout && app_.store.layouts().size() >= 8)
            Capture::updateToCurrent(app_.store, layout->id, inventory_, from, paths);
        else
            Capture::saveCurrent(app_.store, app_.store.suggestedName(), inventory_, from, paths, a.autoRestore);
        return true;
    }
    bool operator()(const A::Restore& a) {
        const SavedLayout* layout = layoutAt(app_.store, a.layout);
        if (!layout) return false;
        const SavedLayout copy = *layout;
        editor_.restore(copy, app_.editorSystem, std::nullopt, a.openApps, a.hideOthers);
        return true;
    }
    bool operator()(const A::Stage& a) {
        const SavedLayout* layout = layoutAt(app_.store, a.layout);
        // The editor asks before loading over unsaved work; the user here keeps the work.
        if (!layout || editor_.hasUnsavedWork()) return false;
        const SavedLayout copy = *layout;
        editor_.stage(copy, app_.editorSystem);
        return true;
    }
    bool operator()(const A::ToggleAutoRestore& a) {
        const SavedLayout* layout = layoutAt(app_.store, a.layout);
        if (!layout) return false;
        app_.store.setAutoRestore(layout->id, !layout->autoRestore);
        return true;
    }
    bool operator()(const A::DeleteLayout& a) {
        const SavedLayout* layout = layoutAt(app_.store, a.layout);
        if (!layout) return false;
        app_.store.deleteLayout(layout->id);
        return true;
    }
    bool operator()(const A::NewLayout&) {
        editor_.newLayoutFromCurrentWindows(inventory_);
        return true;
    }
    bool operator()(const A::Revert&) {
        editor_.revert();
        return true;
    }
    bool operator()(const A::SendToDesktop& a) {
        const auto window = listed(inventory_, a.window);
        if (!window) return false;
        const auto display = inventory_.displayContaining(*window);
        if (!display) return false;
        const auto space = std::find_if(display->spaces.begin(), display->spaces.end(),
                                        [&](const SpaceInfo& s) { return s.id == a.space; });
        if (space == display->spaces.end()) return false;
        running_.push_back(app_.actions.moveToDesktop(*window, *space, *display));
        return true;
    }
    bool operator()(const A::SendToNewDesktop& a) {
        const auto window = listed(inventory_, a.window);
        if (!window) return false;
        const auto display = inventory_.displayContaining(*window);
        if (!display) return false;
        running_.push_back(app_.actions.moveToNewDesktop(*window, *display));
        return true;
    }
    bool operator()(const A::CloseWindow& a) {
        const auto window = listed(inventory_, a.window);
        if (!window) return false;
        running_.push_back(app_.actions.close(*window));
        return true;
    }

private:
    HeadlessApp& app_;
    LayoutEditor& editor_;
    Inventory& inventory_;
    std::vector<TaskHandle<>>& running_;
};

} // namespace

void refreshEditor(HeadlessApp& app) {
    app.system.inventory().refresh();
    if (const auto numbers = listedWindowNumbers(app.system.platform().windowServer)) app.editor.forgetClosed(*numbers);
}

bool play(const Step& step, HeadlessApp& app, std::vector<TaskHandle<>>& running) {
    if (const auto* event = std::get_if<sim::Event>(&step.what)) {
        app.system.mac().addEvent(sim::TimelineEvent{0, *event});
        return true;
    }
    refreshEditor(app);
    return std::visit(ActionPlayer{app, running}, std::get<UserAction>(step.what));
}

} // namespace qw::soak
