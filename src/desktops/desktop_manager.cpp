#include "desktops/desktop_manager.h"

#include "desktops/busy_flag.h"
#include "desktops/desktop_gate.h"
#include "desktops/title_bar_spot.h"
#include "platform/input.h"
#include "platform/main_loop.h"
#include "platform/workspace.h"
#include "restore/window_mover.h"
#include "system/inventory.h"

#include <algorithm>
#include <set>

namespace qw::DesktopManager {

namespace {

using platform::AXElement;
namespace N = platform::AXNames;

bool busy = false;

std::vector<AXElement> children(platform::Accessibility& ax, const AXElement& element) {
    const auto value = ax.copyAttributeValue(element, N::children);
    if (!value) return {};
    if (const auto* list = std::get_if<std::vector<AXElement>>(&*value)) return *list;
    return {};
}

std::optional<AXElement> firstChild(platform::Accessibility& ax, const AXElement& element, std::string_view attribute,
                                    std::string_view value) {
    for (const AXElement& child : children(ax, element))
        if (SpaceMover::string(ax, child, attribute) == value) return child;
    return std::nullopt;
}

std::optional<DisplayInfo> sameDisplay(const Inventory& inventory, const DisplayInfo& display) {
    for (const DisplayInfo& d : inventory.displays())
        if (d.uuid == display.uuid) return d;
    return std::nullopt;
}

} // namespace

bool isBusy() { return busy; }

Task<std::optional<AXElement>> openMissionControl(platform::Platform platform, DisplayInfo display) {
    std::optional<ProcessID> windowManager;
    for (const platform::RunningApplication& app : platform.workspace.runningApplications())
        if (app.bundleIdentifier == windowManagerBundleID) {
            windowManager = app.pid;
            break;
        }
    if (!windowManager) co_return std::nullopt;
    platform::Accessibility& ax = platform.accessibility;
    const AXElement application = ax.createApplication(*windowManager);
    ax.setMessagingTimeout(application, messagingTimeout);

    // An error here shows as no bar below.
    platform.workspace.openApplication(missionControlApp, platform::OpenConfiguration{},
                                       [](const Result<platform::RunningApplication>&) {});

    const Rect area = display.frame.insetBy(-barTolerance, -barTolerance);
    for (int search = 0; search < Timing::barSearches; ++search) {
        co_await platform.loop.sleep(Timing::beforeBarSearch);
        for (const AXElement& group : children(ax, application)) {
            if (SpaceMover::string(ax, group, N::identifier) != "mc.display") continue;
            const std::optional<AXElement> bar = firstChild(ax, group, N::identifier, "mc.spaces");
            if (!bar) continue;
            const std::optional<Rect> frame = WindowMover::frame(ax, *bar);
            if (frame && area.contains(Point{frame->midX(), frame->midY()})) co_return *bar;
        }
    }
    co_return std::nullopt;
}

Task<void> closeMissionControl(platform::Platform platform) {
    platform.input.post(platform::KeyEvent{platform::KeyCodes::escape, true, 0});
    platform.input.post(platform::KeyEvent{platform::KeyCodes::escape, false, 0});
    co_await platform.loop.sleep(Timing::afterClosing);
}

Task<Outcome> addDesktop(platform::Platform platform, DisplayInfo display, Inventory& inventory) {
    if (busy) co_return Failed{"Mission Control is still busy with the last request"};
    const BusyFlag flag(busy);
    const DesktopGate::Turn turn = co_await DesktopGate::shared().enter(platform.loop);
    if (!platform.accessibility.isProcessTrusted()) co_return Failed{"Accessibility permission is off"};

    std::set<SpaceID> before;
    for (const SpaceInfo& s : display.spaces) before.insert(s.id);

    const std::optional<AXElement> bar = co_await openMissionControl(platform, display);
    if (!bar) {
        co_await closeMissionControl(platform);
        co_return Failed{"Couldn't find Mission Control's desktop bar for " + display.name};
    }
    platform::Accessibility& ax = platform.accessibility;
    const std::optional<AXElement> add = firstChild(ax, *bar, N::identifier, "mc.spaces.add");
    if (!add || ax.performAction(*add, N::press) != platform::AXError::success) {
        co_await closeMissionControl(platform);
        co_return Failed{"Mission Control's Add Desktop button didn't respond"};
    }

    std::optional<SpaceInfo> added;
    for (int check = 0; check < Timing::resultChecks && !added; ++check) {
        co_await platform.loop.sleep(Timing::beforeResultCheck);
        inventory.refresh();
        if (const auto now = sameDisplay(inventory, display))
            for (const SpaceInfo& s : now->spaces)
                if (!before.contains(s.id)) {
                    added = s;
                    break;
                }
    }
    co_await closeMissionControl(platform);
    inventory.refresh();
    if (!added) co_return Failed{"Mission Control didn't add a desktop to " + display.name};
    if (const auto now = sameDisplay(inventory, display))
        for (const SpaceInfo& s : now->spaces)
            if (s.id == added->id) co_return Added{s};
    co_return Added{*added};
}

Task<Outcome> removeDesktop(platform::Platform platform, SpaceID id, std::string name, DisplayInfo display,
                            Inventory& inventory) {
    if (busy) co_return Failed{"Mission Control is still busy with the last request"};
    const BusyFlag flag(busy);
    const DesktopGate::Turn turn = co_await DesktopGate::shared().enter(platform.loop);
    if (!platform.accessibility.isProcessTrusted()) co_return Failed{"Accessibility permission is off"};

    platform::Accessibility& ax = platform.accessibility;
    const std::optional<AXElement> bar = co_await openMissionControl(platform, display);
    std::optional<AXElement> list, desktop;
    if (bar) list = firstChild(ax, *bar, N::role, N::listRole);
    if (list) desktop = firstChild(ax, *list, N::title, name);
    if (!desktop || ax.performAction(*desktop, N::removeDesktop) != platform::AXError::success) {
        co_await closeMissionControl(platform);
        co_return Failed{"Mission Control didn't offer to remove " + name};
    }

    bool gone = false;
    for (int check = 0; check < Timing::resultChecks && !gone; ++check) {
        co_await platform.loop.sleep(Timing::beforeResultCheck);
        inventory.refresh();
        // A display that is no longer connected cannot show that the desktop went.
        if (const auto now = sameDisplay(inventory, display))
            gone = std::none_of(now->spaces.begin(), now->spaces.end(), [&](const SpaceInfo& s) { return s.id == id; });
    }
    co_await closeMissionControl(platform);
    inventory.refresh();
    if (!gone) co_return Failed{"Mission Control didn't remove " + name};
    co_return Removed{};
}

} // namespace qw::DesktopManager
