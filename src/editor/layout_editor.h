#pragma once

#include "editor/apply_work.h"
#include "editor/edit_history.h"
#include "editor/editor_system.h"
#include "editor/edit_state.h"
#include "editor/planned_app.h"
#include "editor/report.h"
#include "editor/tile_group.h"
#include "model/display_info.h"
#include "model/ids.h"
#include "model/observable.h"
#include "model/rect.h"
#include "model/saved_layout.h"
#include "model/uuid.h"
#include "model/window_info.h"
#include "platform/task.h"
#include "restore/restore_plan.h"
#include "store/capture.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qw {

class Inventory;
class LayoutStore;

// The editing model behind the editor window's canvas: what the user arranged but has not applied
// or saved yet. There is one for the life of the app, shared by every view. Every stored property
// is observable, and a write tells its observers only when the value really changed.
//
// Main thread only. The edits touch no window; applying (apply.cpp, finish_apply.cpp,
// undo_apply.cpp), previewing and restoring saved layouts (preview.cpp) and the window actions
// turn this state into real window positions.
class LayoutEditor {
public:
    // Apps planned on the canvas get ids from here up, in the window-number space.
    static constexpr WindowID firstPlannedID = 0xF0000000;
    // Never handed out: once nextPlannedID reaches it, no planned id is left.
    static constexpr WindowID noPlannedIDLeft = 0xFFFFFFFF;
    // The title planned apps show as windows.
    static constexpr const char* plannedTitle = "Opens on Apply";

    // The value records of the editor, by the names its callers know them by.
    using Report = qw::Report;
    using PlannedApp = qw::PlannedApp;
    using EditState = qw::EditState;
    using Snapshot = qw::Snapshot;

    struct MinimizedWindow {
        ProcessID pid = 0;
        WindowID window = 0;
        bool operator==(const MinimizedWindow&) const = default;
    };

    // The stored properties, for observing one of them.
    enum class Property {
        pending, selected, multiSelection, arrangingBeforePreview, arranging, previewBaseline, placed,
        desktops, plannedApps, nextPlannedID, previewing, tileGroups, report, undoFrames, undoHiddenApps,
        undoMinimized, history,
    };

    LayoutEditor() = default;
    LayoutEditor(const LayoutEditor&) = delete;
    LayoutEditor& operator=(const LayoutEditor&) = delete;

    // ---- Stored properties ------------------------------------------------------------------------
    const FrameMap& pending() const { return pending_.value(); }
    const std::optional<WindowID>& selected() const { return selected_.value(); }
    const std::set<WindowID>& multiSelection() const { return multiSelection_.value(); }
    const std::optional<bool>& arrangingBeforePreview() const { return arrangingBeforePreview_.value(); }
    bool arranging() const { return arranging_.value(); }
    const std::optional<Snapshot>& previewBaseline() const { return previewBaseline_.value(); }
    const std::set<WindowID>& placed() const { return placed_.value(); }
    const DesktopMap& desktops() const { return desktops_.value(); }
    const PlannedAppMap& plannedApps() const { return plannedApps_.value(); }
    WindowID nextPlannedID() const { return nextPlannedID_.value(); }
    const std::optional<Uuid>& previewing() const { return previewing_.value(); }
    const std::vector<TileGroup>& tileGroups() const { return tileGroups_.value(); }
    const std::optional<Report>& report() const { return report_.value(); }
    const FrameMap& undoFrames() const { return undoFrames_.value(); }
    const std::vector<ProcessID>& undoHiddenApps() const { return undoHiddenApps_.value(); }
    const std::vector<MinimizedWindow>& undoMinimized() const { return undoMinimized_.value(); }
    const EditHistory& history() const { return history_.value(); }

    // Direct writes, for the canvas while a gesture runs and for applying, previewing and the
    // window actions, which keep the invariants themselves.
    void setPending(FrameMap value) { pending_.set(std::move(value)); }
    void setSelected(std::optional<WindowID> value) { selected_.set(value); }
    void setMultiSelection(std::set<WindowID> value) { multiSelection_.set(std::move(value)); }
    void setArrangingBeforePreview(std::optional<bool> value) { arrangingBeforePreview_.set(value); }
    void setArranging(bool value) { arranging_.set(value); }
    void setPreviewBaseline(std::optional<Snapshot> value) { previewBaseline_.set(std::move(value)); }
    void setPlaced(std::set<WindowID> value) { placed_.set(std::move(value)); }
    void setPreviewing(std::optional<Uuid> value) { previewing_.set(value); }
    void setReport(std::optional<Report> value) { report_.set(std::move(value)); }
    void setUndoFrames(FrameMap value) { undoFrames_.set(std::move(value)); }
    void setUndoHiddenApps(std::vector<ProcessID> value) { undoHiddenApps_.set(std::move(value)); }
    void setUndoMinimized(std::vector<MinimizedWindow> value) { undoMinimized_.set(std::move(value)); }

    // Calls `observer` after each real change of the property.
    Subscription observe(Property property, std::function<void()> observer) const;

    // ---- Queries ----------------------------------------------------------------------------------
    // Arrange mode with no saved layout behind it: a layout that was never saved.
    bool isNewLayout() const { return arranging() && !previewing(); }
    // The previewed saved layout differs from how it was staged or last saved.
    bool previewEdited() const;
    // Something on the canvas would be lost by loading another layout onto it.
    bool hasUnsavedWork() const;
    bool isPlanned(WindowID id) const { return plannedApps().contains(id); }
    Snapshot snapshot() const;
    EditState editState() const;

    // The desktop a window is meant for on `display`: its chosen one while the display still has it,
    // else the one the display shows.
    SpaceID desktop(WindowID id, const DisplayInfo& display) const;
    // The planned apps that have a frame, as window records (ascending id), so that the canvas,
    // the selection and capture treat them like windows.
    std::vector<WindowInfo> plannedWindows(const std::vector<DisplayInfo>& displays) const;
    // What capturing the canvas reads.
    CanvasContents canvasContents(const std::vector<DisplayInfo>& displays) const;

    // ---- Edits ------------------------------------------------------------------------------------
    // Puts a window on the canvas at a frame and selects it.
    void place(WindowID id, const Rect& frame);
    // Adds an app to open on Apply and selects it. Returns its id; none, and nothing changes, once
    // every planned id has been used.
    std::optional<WindowID> plan(PlannedApp app, const Rect& frame, std::optional<SpaceID> desktop);
    // Takes windows and planned apps off the canvas; outside Arrange mode it first switches to
    // Arrange mode holding everything the canvas showed.
    void remove(const std::set<WindowID>& ids, const Inventory& inventory);
    void removeSelection(const Inventory& inventory);
    void removePlanned(WindowID id);
    void unplace(WindowID id);
    // Takes a window out of its tile group; a group left with one member dissolves.
    void detach(WindowID id);
    void setDesktop(WindowID id, SpaceID space, const DisplayInfo& display);
    // Drops the canvas state of windows that are gone. `listed` must hold every window number the
    // window server still lists (listedWindowNumbers), not just the Inventory's windows: a minimized
    // window or one of a hidden app is missing from the Inventory but not closed.
    void forgetClosed(const std::set<WindowID>& listed);
    // Starts a new layout holding the windows showing now, where they are.
    void newLayoutFromCurrentWindows(const Inventory& inventory);
    // Discards everything on the canvas.
    void revert();
    // Leaves a saved layout's preview, going back to the mode from before it.
    void endPreview();

    // Canvas edit history: see EditHistory. A change calls checkpoint() once before it starts.
    void checkpoint();
    void dropCheckpointIfUnchanged();
    void undoEdit();
    void clearHistory();

    // ---- Apply and undo of apply -----------------------------------------------------------------
    // Turns the canvas into real window positions. `keep`, when given, is the layout's window and
    // planned-app ids: other apps are hidden and the layout's apps' other windows minimized, only
    // among the apps with the process ids in `scope` when that is given. Does at once what can be
    // done at once; desktop changes and app openings go on in a task on the main loop, which leaves
    // the final report (see isFinishingApply).
    void apply(EditorSystem& system, const std::optional<std::set<WindowID>>& keep,
               const std::optional<std::set<ProcessID>>& scope);
    // Puts back the frames the last apply changed, the apps it hid and the windows it minimized.
    void undo(EditorSystem& system);
    bool canUndo() const { return !undoFrames().empty() || !undoHiddenApps().empty() || !undoMinimized().empty(); }
    // The asynchronous part of an apply is still running; its final report is not in yet.
    bool isFinishingApply() const { return finishingApplies_ > 0; }

    // ---- Previewing and restoring saved layouts ---------------------------------------------------
    // Puts a layout's plan on the canvas (pending frames, desktops, and with `openApps` its apps to
    // open) and returns it. `desktops` allows carrying windows to other desktops.
    RestorePlan load(const SavedLayout& layout, EditorSystem& system, bool openApps, bool desktops);
    // Shows a saved layout on the canvas as a preview that can be edited, saved, applied or cancelled.
    void stage(const SavedLayout& layout, EditorSystem& system);
    // Writes the canvas back into the previewed layout; its name before the update, or none when
    // nothing is previewed or the layout is gone from the store.
    std::optional<std::string> savePreview(LayoutStore& store, EditorSystem& system);
    // The editor's Apply: saves the preview's edits first when there are any, then applies, hiding
    // what is not on the canvas in Arrange mode.
    void applySavingEdits(LayoutStore& store, EditorSystem& system, const std::optional<std::set<ProcessID>>& scope);
    // Restores a saved layout now; `context` says why (an automatic restore's reason).
    void restore(const SavedLayout& layout, EditorSystem& system, std::optional<std::string> context, bool openApps,
                 bool hideOthers);

    // ---- Tile groups ------------------------------------------------------------------------------
    // Tiles the windows in the given order across the display's visible area, in equal shares.
    void tile(const std::vector<WindowID>& ids, const DisplayInfo& display, TileAxis axis);
    // Tiles the ⌘-selected windows on the display that holds most of them; returns that display,
    // or none when nothing was tiled.
    std::optional<DisplayInfo> tileSelection(const Inventory& inventory, TileAxis axis);
    std::optional<TileGroup> tileGroup(WindowID containing) const;
    // A divider drag: `position` is the pointer along the group's axis, in global coordinates.
    void moveDivider(const Uuid& group, std::size_t after, double position, const std::vector<DisplayInfo>& displays);
    // A seam drag between two touching windows; `first` is the left (vertical) or upper one.
    void moveSeam(const WindowInfo& first, const WindowInfo& second, bool vertical, double position);

private:
    // Copies a property, lets `change` edit the copy and stores it (telling observers if it changed).
    template <typename T, typename Change>
    static void modify(Observable<T>& property, Change&& change) {
        T value = property.value();
        change(value);
        property.set(std::move(value));
    }

    void restore(const EditState& state);

    // Apply's steps (apply.cpp, finish_apply.cpp).
    Report perform(const FrameMap& moves, const std::map<WindowID, WindowInfo>& byID, FrameMap& undo,
                   EditorSystem& system) const;
    std::pair<std::vector<ProcessID>, std::vector<MinimizedWindow>>
    hideOthers(const std::set<WindowID>& keep, EditorSystem& system, const std::optional<std::set<ProcessID>>& scope) const;
    std::map<WindowID, DesktopSend> desktopSends(const Inventory& inventory) const;
    void finishApply(ApplyWork work, EditorSystem& system, Report after);
    Task<void> finishing(ApplyWork work, EditorSystem system, Report after, std::string movedPhrase);

    // Saved windows of the previewed layout that nothing on the canvas stands for, kept for saving.
    std::vector<SavedWindow> unshownWindows_;
    std::vector<SavedDisplay> unshownDisplays_;
    int finishingApplies_ = 0;

    Observable<FrameMap> pending_;
    Observable<std::optional<WindowID>> selected_;
    Observable<std::set<WindowID>> multiSelection_;
    Observable<std::optional<bool>> arrangingBeforePreview_;
    Observable<bool> arranging_{false};
    Observable<std::optional<Snapshot>> previewBaseline_;
    Observable<std::set<WindowID>> placed_;
    Observable<DesktopMap> desktops_;
    Observable<PlannedAppMap> plannedApps_;
    Observable<WindowID> nextPlannedID_{firstPlannedID};
    Observable<std::optional<Uuid>> previewing_;
    Observable<std::vector<TileGroup>> tileGroups_;
    Observable<std::optional<Report>> report_;
    Observable<FrameMap> undoFrames_;
    Observable<std::vector<ProcessID>> undoHiddenApps_;
    Observable<std::vector<MinimizedWindow>> undoMinimized_;
    Observable<EditHistory> history_;
};

} // namespace qw
