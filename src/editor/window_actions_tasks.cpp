// The window actions that act on real windows: each changes the editor at once, then runs a task on
// the main loop that ends by setting the editor's report.

#include "desktops/desktop_manager.h"
#include "desktops/space_mover.h"
#include "editor/layout_editor.h"
#include "editor/listed_windows.h"
#include "editor/window_actions.h"
#include "editor/window_visit.h"
#include "platform/main_loop.h"
#include "restore/app_launcher.h"
#include "restore/window_mover.h"
#include "system/inventory.h"

#include <algorithm>
#include <chrono>
#include <variant>

namespace qw {

namespace {

namespace Timing {
using std::chrono::milliseconds;
inline constexpr Duration betweenClosePolls = milliseconds(150);
inline constexpr int pollsPerPress = 6;
inline constexpr Duration afterClosing = milliseconds(500);
} // namespace Timing

Report headlineOnly(std::string headline) {
    return Report{0, {}, std::move(headline), std::nullopt, false};
}

Report failure(std::string headline, std::vector<std::string> notes) {
    return Report{0, std::move(notes), std::move(headline), std::nullopt, true};
}

// Whether the window server still lists the window, on screen or not. A list the server does not
// give counts as the window being gone, as an empty answer for the window would.
bool stillListed(platform::WindowServer& server, WindowID id) {
    const auto listed = listedWindowNumbers(server);
    return listed && listed->contains(id);
}

// Presses the close button, and once more if the window is still there about a second later (an
// app may ignore a press while busy). True when a press worked: the window is gone, or its app is
// asking the user about it.
Task<bool> pressClose(platform::Platform platform, WindowInfo window) {
    if (!WindowMover::close(platform.accessibility, window)) co_return false;
    int stillThere = 0;
    bool pressedAgain = false;
    while (true) {
        co_await platform.loop.sleep(Timing::betweenClosePolls);
        if (!stillListed(platform.windowServer, window.id)) co_return true;
        if (++stillThere < Timing::pollsPerPress) continue;
        if (pressedAgain) co_return true;
        if (!WindowMover::close(platform.accessibility, window)) co_return false;
        pressedAgain = true;
        stillThere = 0;
    }
}

// Carries the window to the desktop with that index on its display; true when it arrived there.
Task<bool> carry(platform::Platform platform, const SkyLight& skyLight, Inventory& inventory, WindowInfo window,
                 int index, SpaceMover::Outcome& outcome) {
    outcome = co_await SpaceMover::move(platform, skyLight, window, index, inventory);
    const auto* moved = std::get_if<SpaceMover::Moved>(&outcome);
    co_return moved && moved->index == index;
}

} // namespace

// ---- Opening a planned app now -------------------------------------------------------------------

TaskHandle<> WindowActions::openNow(const WindowInfo& window) {
    const auto app = editor_->plannedApps().find(window.id);
    const auto frame = editor_->pending().find(window.id);
    if (app == editor_->plannedApps().end() || frame == editor_->pending().end()) return {};
    const PlannedApp planned = app->second;
    const Rect target = frame->second;
    editor_->removePlanned(window.id);
    editor_->setReport(headlineOnly("Opening " + planned.name + "…"));
    return platform_.loop.spawn(runOpenNow(*this, planned.name, planned.url, target));
}

Task<void> WindowActions::runOpenNow(WindowActions actions, std::string appName, std::string appPath, Rect frame) {
    LayoutEditor& editor = *actions.editor_;
    const AppLauncher::Outcome outcome =
        co_await AppLauncher::open(actions.platform_, appPath, frame, *actions.inventory_);
    if (const auto* placed = std::get_if<AppLauncher::Placed>(&outcome)) {
        // In Arrange mode the new window joins the layout in the planned app's place.
        if (editor.arranging()) {
            auto members = editor.placed();
            members.insert(placed->window.id);
            editor.setPlaced(std::move(members));
        }
        Report report = headlineOnly("Opened " + appName);
        if (placed->note) report.notes.push_back(*placed->note);
        editor.setReport(std::move(report));
        co_return;
    }
    const std::string reason = std::visit(
        [](const auto& o) -> std::string {
            if constexpr (std::is_same_v<std::decay_t<decltype(o)>, AppLauncher::Placed>) return {};
            else return o.sentence;
        },
        outcome);
    editor.setReport(failure("Couldn't open " + appName, {reason}));
}

// ---- Closing a window ----------------------------------------------------------------------------

TaskHandle<> WindowActions::close(const WindowInfo& window) {
    editor_->unplace(window.id);
    editor_->setReport(headlineOnly("Closing " + window.appName + "…"));
    return platform_.loop.spawn(runClose(*this, window));
}

Task<void> WindowActions::runClose(WindowActions actions, WindowInfo window) {
    const platform::Platform platform = actions.platform_;
    Inventory& inventory = *actions.inventory_;
    const bool pressed = co_await WindowVisit::visiting(
        platform, *actions.skyLight_, inventory, window,
        [platform](WindowInfo visited) { return pressClose(platform, std::move(visited)); });
    co_await platform.loop.sleep(Timing::afterClosing);
    inventory.refresh();

    // The window server's full list decides: a window that is minimized or whose app hides it is
    // missing from the Inventory but not closed.
    const auto listed = listedWindowNumbers(platform.windowServer);
    const bool gone = listed ? !listed->contains(window.id)
                             : !inventory.window(window.id);
    LayoutEditor& editor = *actions.editor_;
    if (gone)
        editor.setReport(headlineOnly("Closed " + window.appName + (window.title.empty() ? "" : ": " + window.title)));
    else if (pressed)
        editor.setReport(headlineOnly(window.appName + " is asking about closing; answer it in the app"));
    else
        editor.setReport(failure("Couldn't close " + window.appName,
                                 {"It may have no close button, or the app didn't answer"}));
}

// ---- Sending a window to another desktop ---------------------------------------------------------

TaskHandle<> WindowActions::moveToDesktop(const WindowInfo& window, const SpaceInfo& space, const DisplayInfo& display) {
    FrameMap pending = editor_->pending();
    pending.erase(window.id);
    editor_->setPending(std::move(pending));
    editor_->setSelected(std::nullopt);
    return platform_.loop.spawn(runMoveToDesktop(*this, window, space, display));
}

Task<void> WindowActions::runMoveToDesktop(WindowActions actions, WindowInfo window, SpaceInfo space,
                                           DisplayInfo display) {
    const platform::Platform platform = actions.platform_;
    const SkyLight& skyLight = *actions.skyLight_;
    Inventory& inventory = *actions.inventory_;
    SpaceMover::Outcome outcome = SpaceMover::Failed{"Couldn't reach it on its desktop"};
    co_await WindowVisit::visiting(platform, skyLight, inventory, window, [&](WindowInfo visited) {
        return carry(platform, skyLight, inventory, std::move(visited), space.index, outcome);
    });
    actions.shownSpace_->erase(display.uuid);

    LayoutEditor& editor = *actions.editor_;
    if (const auto* failed = std::get_if<SpaceMover::Failed>(&outcome))
        editor.setReport(failure("Couldn't move " + window.appName + " to " + desktopLabel(space), {failed->sentence}));
    else
        editor.setReport(headlineOnly("Sent " + window.appName + " to " + desktopLabel(space) + " on " + display.name));
}

TaskHandle<> WindowActions::moveToNewDesktop(const WindowInfo& window, const DisplayInfo& display) {
    std::vector<WindowID> ids;
    const auto& multi = editor_->multiSelection();
    if (multi.contains(window.id)) {
        // Only the ⌘-selected windows on this display go; the others stay where they are.
        for (const WindowInfo& w : inventory_->windows()) {
            if (!multi.contains(w.id) || !inventory_->isMovable(w)) continue;
            const auto holder = inventory_->displayContaining(w);
            if (holder && holder->uuid == display.uuid) ids.push_back(w.id);
        }
    } else {
        ids.push_back(window.id);
    }
    FrameMap pending = editor_->pending();
    for (const WindowID id : ids) {
        editor_->detach(id);
        pending.erase(id);
    }
    editor_->setPending(std::move(pending));
    editor_->setSelected(std::nullopt);
    editor_->setMultiSelection({});
    editor_->setReport(headlineOnly("Adding a desktop to " + display.name + "…"));
    return platform_.loop.spawn(runMoveToNewDesktop(*this, std::move(ids), display));
}

Task<void> WindowActions::runMoveToNewDesktop(WindowActions actions, std::vector<WindowID> ids, DisplayInfo display) {
    const platform::Platform platform = actions.platform_;
    const SkyLight& skyLight = *actions.skyLight_;
    Inventory& inventory = *actions.inventory_;
    LayoutEditor& editor = *actions.editor_;

    const DesktopManager::Outcome added = co_await DesktopManager::addDesktop(platform, display, inventory);
    const auto* space = std::get_if<DesktopManager::Added>(&added);
    if (!space) {
        // The manager's own sentence names Mission Control's internals; this one says what matters.
        editor.setReport(failure("Couldn't add a desktop", {"Mission Control didn't add one"}));
        co_return;
    }
    const SpaceInfo target = space->space;

    std::vector<std::string> sent;
    std::vector<std::string> failures;
    for (const WindowID id : ids) {
        inventory.refresh();
        const auto found = inventory.window(id);
        if (!found) continue; // closed meanwhile
        const WindowInfo window = *found;
        SpaceMover::Outcome outcome = SpaceMover::Failed{"Couldn't reach " + window.appName + " on its desktop"};
        co_await WindowVisit::visiting(platform, skyLight, inventory, window, [&](WindowInfo visited) {
            return carry(platform, skyLight, inventory, std::move(visited), target.index, outcome);
        });
        if (const auto* failed = std::get_if<SpaceMover::Failed>(&outcome))
            failures.push_back(failed->sentence);
        else
            sent.push_back(window.appName);
    }
    actions.shownSpace_->erase(display.uuid);

    const std::string label = desktopLabel(target);
    if (sent.empty()) {
        editor.setReport(failure("Added " + label + ", but no window could be sent there", std::move(failures)));
        co_return;
    }
    const std::string what = sent.size() == 1 ? sent.front() : std::to_string(sent.size()) + " windows";
    editor.setReport(Report{0, std::move(failures), "Added " + label + " on " + display.name + " and sent " + what + " there",
                            std::nullopt, false});
}

} // namespace qw
