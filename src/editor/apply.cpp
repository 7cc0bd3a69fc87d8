// Apply, the part done at once: moves, unhiding the layout's apps, hiding the others, raising, and
// what undo needs. The rest (desktops, openings) goes on in finish_apply.cpp.
#include "editor/layout_editor.h"

#include "editor/texts.h"
#include "model/snapper.h"
#include "platform/accessibility.h"
#include "platform/main_loop.h"
#include "platform/window_server.h"
#include "platform/workspace.h"
#include "restore/window_mover.h"
#include "system/inventory.h"

#include <algorithm>
#include <chrono>
#include <variant>

namespace qw {

namespace {

using namespace std::chrono_literals;

// Unhidden apps need a moment before their windows are listed again.
constexpr Duration afterUnhiding = 400ms;

// A window whose frame read back this close to where it was has not moved.
constexpr double unmovedTolerance = 0.5;

// The process ids that own windows with these ids, in front-to-back order of their windows. The
// Inventory leaves out the windows of hidden apps and minimized windows (they are off screen while
// their desktop shows), so what it lacks is looked up in the window server's full list.
std::vector<ProcessID> ownersOf(const std::set<WindowID>& ids, const Inventory& inventory, platform::Platform platform) {
    std::vector<ProcessID> owners;
    const auto add = [&](ProcessID pid) {
        if (pid != platform.processID && std::find(owners.begin(), owners.end(), pid) == owners.end()) owners.push_back(pid);
    };
    std::set<WindowID> missing = ids;
    for (const auto& window : inventory.windows()) {
        if (!ids.contains(window.id)) continue;
        add(window.pid);
        missing.erase(window.id);
    }
    std::erase_if(missing, [](WindowID id) { return id >= LayoutEditor::firstPlannedID; });
    if (missing.empty()) return owners;
    const auto entries = platform.windowServer.copyWindowList(platform::WindowServer::ListOption::allWindows);
    if (!entries) return owners;
    for (const auto& entry : *entries) {
        const auto* number = entry.member(platform::WindowKeys::number);
        const auto* owner = entry.member(platform::WindowKeys::ownerPID);
        if (!number || !owner || !number->isNumber() || !owner->isNumber()) continue;
        const auto id = number->asUInt32();
        const auto pid = owner->asInt32();
        if (id && pid && missing.contains(*id)) add(*pid);
    }
    return owners;
}

} // namespace

void LayoutEditor::apply(EditorSystem& system, const std::optional<std::set<WindowID>>& keep,
                         const std::optional<std::set<ProcessID>>& scope) {
    platform::Platform platform = system.platform;
    Inventory& inventory = system.inventory;
    if (!platform.accessibility.isProcessTrusted()) {
        report_.set(Report{0,
                           {"Allow it in System Settings › Privacy & Security › Accessibility, then Apply again"},
                           "Quiltwright needs Accessibility permission to move windows. Nothing was changed",
                           std::nullopt, true});
        return;
    }

    // Planned apps with a frame are opened, in the order they were planned; the rest are moves.
    ApplyWork work;
    FrameMap moves = pending();
    for (const auto& [id, app] : plannedApps()) {
        const auto frame = moves.find(id);
        if (frame == moves.end()) continue;
        work.opening.push_back({id, app, frame->second});
        moves.erase(frame);
    }
    for (const auto& opening : work.opening) detach(opening.id);

    std::set<WindowID> layoutIDs;
    for (const auto& [id, frame] : moves) layoutIDs.insert(id);
    if (keep) layoutIDs.insert(keep->begin(), keep->end());

    // The layout's hidden apps come back first, so that their windows can be moved.
    std::vector<std::string> shown;
    bool unhidAny = false;
    for (const ProcessID pid : ownersOf(layoutIDs, inventory, platform)) {
        const auto app = platform.workspace.runningApplication(pid);
        if (!app || !app->isHidden || !platform.workspace.unhide(pid)) continue;
        unhidAny = true;
        if (app->localizedName && !app->localizedName->empty()) shown.push_back(*app->localizedName);
    }
    if (unhidAny) {
        platform.loop.holdUp(afterUnhiding);
        inventory.refresh();
    }

    std::map<WindowID, WindowInfo> byID;
    for (const auto& window : inventory.windows()) byID.emplace(window.id, window);

    // A window on a desktop its display does not show cannot be moved in place: it is fetched.
    const Snapper snapper{inventory.displays(), {}};
    for (auto move = moves.begin(); move != moves.end();) {
        const auto window = byID.find(move->first);
        if (window == byID.end() || inventory.isReachable(window->second)) {
            ++move;
            continue;
        }
        const auto target = snapper.owner(move->second);
        if (!target) {
            ++move;
            continue;
        }
        work.fetching.push_back({move->first, window->second.appName, move->second, desktop(move->first, *target), target->id});
        move = moves.erase(move);
    }

    work.sends = desktopSends(inventory);
    for (const auto& [id, send] : work.sends) {
        const bool fetched = std::any_of(work.fetching.begin(), work.fetching.end(), [&](const Fetch& f) { return f.id == id; });
        if (byID.contains(id) && !fetched && (!keep || keep->contains(id))) work.sending.emplace_back(id, send);
    }

    FrameMap undo;
    Report report = perform(moves, byID, undo, system);
    if (!shown.empty()) report.notes.push_back("Showed " + texts::joined(shown) + ", hidden before");
    undoHiddenApps_.set({});
    undoMinimized_.set({});

    if (keep) {
        const auto& windows = inventory.windows();
        const bool anyOpen = std::any_of(windows.begin(), windows.end(), [&](const WindowInfo& w) { return keep->contains(w.id); });
        if (!anyOpen && work.opening.empty()) {
            report.notes.insert(report.notes.begin(), "Didn't hide other apps: none of the layout's windows are open");
        } else {
            auto [hidden, minimized] = hideOthers(*keep, system, scope);
            std::vector<std::string> phrases;
            if (!hidden.empty()) phrases.push_back("hid " + texts::counted(hidden.size(), "other app"));
            if (!minimized.empty()) phrases.push_back("minimized " + texts::counted(minimized.size(), "other window"));
            if (!phrases.empty())
                report.notes.insert(report.notes.begin(),
                                    texts::capitalized(texts::joined(phrases, " and ")) + " (Undo Apply brings them back)");
            undoHiddenApps_.set(std::move(hidden));
            undoMinimized_.set(std::move(minimized));
            if (report.moved == 0 && !report.headline) report.headline = "Layout applied";

            // The rearmost first, so that the frontmost ends on top.
            std::vector<WindowInfo> raising;
            for (const auto& window : windows)
                if (keep->contains(window.id) && inventory.isReachable(window)) raising.push_back(window);
            std::stable_sort(raising.begin(), raising.end(),
                             [](const WindowInfo& a, const WindowInfo& b) { return a.zOrder > b.zOrder; });
            for (const auto& window : raising) WindowMover::raise(platform, window.pid, window.id);
        }
    }

    report_.set(report);
    selected_.set(std::nullopt);
    multiSelection_.set({});
    endPreview();
    undoFrames_.set(std::move(undo));
    pending_.set({});
    desktops_.set({});
    clearHistory();
    modify(placed_, [&](std::set<WindowID>& placed) {
        for (const auto& opening : work.opening) placed.erase(opening.id);
    });
    plannedApps_.set({});
    inventory.refresh();

    if (!work.empty()) finishApply(std::move(work), system, std::move(report));
}

Report LayoutEditor::perform(const FrameMap& moves, const std::map<WindowID, WindowInfo>& byID, FrameMap& undo,
                             EditorSystem& system) const {
    Report report;
    for (const auto& [id, frame] : moves) {
        const auto window = byID.find(id);
        if (window == byID.end()) {
            report.notes.push_back("A window closed before it could be moved");
            continue;
        }
        const auto outcome = WindowMover::move(system.platform.accessibility, window->second, frame);
        if (const auto* failed = std::get_if<WindowMover::Failed>(&outcome)) {
            report.notes.push_back(failed->sentence);
            continue;
        }
        const auto* adjusted = std::get_if<WindowMover::Adjusted>(&outcome);
        if (adjusted) report.notes.push_back(adjusted->reason);
        // A window that ends where it was did not move (it was there already, or its app kept it
        // in place): it is neither counted nor put back by undo.
        const Rect& now = adjusted ? adjusted->actual : std::get<WindowMover::Moved>(outcome).frame;
        if (now.isNearly(window->second.frame, unmovedTolerance)) continue;
        ++report.moved;
        undo[id] = window->second.frame;
    }
    return report;
}

std::pair<std::vector<ProcessID>, std::vector<LayoutEditor::MinimizedWindow>>
LayoutEditor::hideOthers(const std::set<WindowID>& keep, EditorSystem& system,
                         const std::optional<std::set<ProcessID>>& scope) const {
    platform::Platform platform = system.platform;
    const auto keptList = ownersOf(keep, system.inventory, platform);
    const std::set<ProcessID> kept(keptList.begin(), keptList.end());
    const auto inScope = [&](ProcessID pid) { return !scope || scope->contains(pid); };

    std::vector<ProcessID> hidden;
    for (const auto& app : platform.workspace.runningApplications()) {
        if (app.activationPolicy != platform::ActivationPolicy::regular || app.isHidden) continue;
        if (app.pid == platform.processID || kept.contains(app.pid) || !inScope(app.pid)) continue;
        if (platform.workspace.hide(app.pid)) hidden.push_back(app.pid);
    }

    std::vector<MinimizedWindow> minimized;
    for (const auto& window : system.inventory.windows()) {
        if (!kept.contains(window.pid) || keep.contains(window.id)) continue;
        if (!system.inventory.isReachable(window) || !inScope(window.pid)) continue;
        if (WindowMover::setMinimized(platform.accessibility, window.pid, window.id, true) == platform::AXError::success)
            minimized.push_back({window.pid, window.id});
    }
    return {std::move(hidden), std::move(minimized)};
}

std::map<WindowID, DesktopSend> LayoutEditor::desktopSends(const Inventory& inventory) const {
    std::map<WindowID, DesktopSend> sends;
    for (const auto& [id, spaceID] : desktops()) {
        for (const auto& display : inventory.displays()) {
            const auto space = std::find_if(display.spaces.begin(), display.spaces.end(),
                                            [&](const SpaceInfo& s) { return s.id == spaceID; });
            if (space == display.spaces.end()) continue;
            if (display.currentSpaceID != spaceID && !space->isFullscreen)
                sends.emplace(id, DesktopSend{space->index, space->nickname.value_or(space->name), spaceID, display.id});
            break;
        }
    }
    return sends;
}

} // namespace qw
