// Saved layouts on the canvas: loading a plan, previewing it, saving the preview's edits, and
// restoring at once.
#include "editor/layout_editor.h"

#include "editor/texts.h"
#include "platform/accessibility.h"
#include "store/capture.h"
#include "store/layout_store.h"
#include "system/inventory.h"

#include <algorithm>

namespace qw {

namespace {

std::string quoted(const std::string& name) { return "“" + name + "”"; }

} // namespace

RestorePlan LayoutEditor::load(const SavedLayout& layout, EditorSystem& system, bool openApps, bool desktops) {
    system.inventory.refresh();
    RestorePlan restorePlan = Restorer::plan(layout, system.inventory, desktops, system.apps);
    plannedApps_.set({});
    tileGroups_.set({});
    pending_.set(restorePlan.moves);
    desktops_.set(restorePlan.desktops);
    if (openApps)
        for (const auto& launch : restorePlan.launches)
            plan(PlannedApp{launch.app, launch.name, launch.bundleID}, launch.frame, launch.desktop);
    clearHistory();
    selected_.set(std::nullopt);
    multiSelection_.set({});
    return restorePlan;
}

void LayoutEditor::stage(const SavedLayout& layout, EditorSystem& system) {
    const RestorePlan restorePlan = load(layout, system, true, true);
    previewing_.set(layout.id);
    if (!arrangingBeforePreview()) arrangingBeforePreview_.set(arranging());
    arranging_.set(true);
    std::set<WindowID> staged = restorePlan.matched;
    for (const auto& [id, app] : plannedApps()) staged.insert(id);
    placed_.set(std::move(staged));
    previewBaseline_.set(snapshot());

    // What the canvas cannot show stays in the layout when the preview is saved.
    unshownWindows_.clear();
    unshownDisplays_.clear();
    for (std::size_t i = 0; i < layout.windows.size(); ++i)
        if (!restorePlan.represented.contains(i)) unshownWindows_.push_back(layout.windows[i]);
    for (const auto& display : layout.displays)
        if (std::any_of(unshownWindows_.begin(), unshownWindows_.end(),
                        [&](const SavedWindow& w) { return w.display == display.uuid; }))
            unshownDisplays_.push_back(display);

    std::vector<std::string> parts;
    if (!restorePlan.moves.empty()) parts.push_back(texts::counted(restorePlan.moves.size(), "window") + " to move");
    if (!restorePlan.launches.empty()) {
        std::vector<std::string> names;
        for (const auto& launch : restorePlan.launches) names.push_back(launch.name);
        parts.push_back(texts::joined(names) + " to open");
    }
    const std::string headline =
        parts.empty() ? "Previewing " + quoted(layout.name) + ": everything is already in place"
                      : "Previewing " + quoted(layout.name) + ": " + texts::joined(parts) + ". Nothing has moved yet";
    std::vector<std::string> notes;
    if (restorePlan.inPlace >= 1) notes.push_back(std::to_string(restorePlan.inPlace) + " already in place");
    notes.insert(notes.end(), restorePlan.notes.begin(), restorePlan.notes.end());
    report_.set(Report{0, std::move(notes), headline, std::nullopt, false});
}

std::optional<std::string> LayoutEditor::savePreview(LayoutStore& store, EditorSystem& system) {
    if (!previewing()) return std::nullopt;
    const auto layout = store.layout(*previewing());
    if (!layout) return std::nullopt;
    const CanvasContents canvas = canvasContents(system.inventory.displays());
    Capture::updateToCurrent(store, layout->id, system.inventory, &canvas, Capture::bundlePaths(system.platform.workspace));
    previewBaseline_.set(snapshot());
    return layout->name;
}

void LayoutEditor::applySavingEdits(LayoutStore& store, EditorSystem& system,
                                    const std::optional<std::set<ProcessID>>& scope) {
    const std::optional<std::string> saved = previewEdited() ? savePreview(store, system) : std::nullopt;
    apply(system, arranging() ? std::optional(placed()) : std::nullopt, scope);
    if (saved && report()) {
        Report report = *this->report();
        report.notes.insert(report.notes.begin(), "Saved the changes to " + quoted(*saved));
        report_.set(std::move(report));
    }
}

void LayoutEditor::restore(const SavedLayout& layout, EditorSystem& system, std::optional<std::string> context,
                           bool openApps, bool hideOthers) {
    if (!system.platform.accessibility.isProcessTrusted()) {
        report_.set(Report{0,
                           {"Allow it in System Settings › Privacy & Security › Accessibility"},
                           "Quiltwright needs Accessibility permission to restore " + quoted(layout.name) +
                               ". Nothing was changed",
                           std::move(context), true});
        return;
    }
    if (hasUnsavedWork()) {
        report_.set(Report{0,
                           {"Save, Apply or Cancel what's on the canvas first"},
                           "Didn't restore " + quoted(layout.name) + ": the editor has unsaved changes",
                           std::move(context), true});
        return;
    }

    // Desktops change exactly when apps may be opened.
    const RestorePlan restorePlan = load(layout, system, openApps, openApps);
    if (pending().empty()) {
        report_.set(Report{0, restorePlan.notes, quoted(layout.name) + " is already in place", std::move(context), false});
        return;
    }
    std::optional<std::set<WindowID>> keep;
    if (hideOthers) {
        keep = restorePlan.matched;
        for (const auto& [id, app] : plannedApps()) keep->insert(id);
    }
    apply(system, keep, std::nullopt);
    if (report()) {
        Report report = *this->report();
        report.notes.insert(report.notes.end(), restorePlan.notes.begin(), restorePlan.notes.end());
        report.context = std::move(context);
        report_.set(std::move(report));
    }
}

} // namespace qw
