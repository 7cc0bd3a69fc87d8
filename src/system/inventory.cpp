#include "system/inventory.h"

#include "platform/main_loop.h"
#include "platform/property_value.h"
#include "platform/screens.h"
#include "platform/window_server.h"
#include "platform/workspace.h"
#include "system/skylight.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_map>

namespace qw {

using platform::PropertyValue;
namespace Keys = platform::WindowKeys;

namespace {

// The first screen whose "NSScreenNumber" is the display id, read as an unsigned 32-bit number.
const platform::Screen* screenOf(DisplayID display, const std::vector<platform::Screen>& screens) {
    for (const auto& screen : screens) {
        const auto number = screen.deviceDescription.find("NSScreenNumber");
        if (number != screen.deviceDescription.end() && number->second.isNumber() &&
            number->second.asUInt32() == display)
            return &screen;
    }
    return nullptr;
}

// AppKit's bottom-left-origin rectangle in the window server's top-left-origin space.
Rect flipped(const Rect& rect, double firstScreenHeight) {
    return Rect(rect.x(), firstScreenHeight - rect.maxY(), rect.width(), rect.height());
}

// A layout keeps frames as JSON numbers, which are never infinite or NaN.
bool isFinite(const Rect& rect) {
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width()) &&
           std::isfinite(rect.height());
}

const std::string* nonEmptyString(const PropertyValue* value) {
    const auto* string = value ? value->asString() : nullptr;
    return string && !string->empty() ? string : nullptr;
}

} // namespace

Inventory::Inventory(platform::Platform platform, const SkyLight& skyLight, NicknameLookup nicknames)
    : platform_(platform), skyLight_(skyLight), nicknames_(std::move(nicknames)) {
    refresh();
    // The registrations end with the Inventory, so a handler never sees it destroyed.
    const auto refreshOnPost = [this](const platform::Notification&) { refresh(); };
    namespace N = platform::Notifications;
    registrations_ = {
        platform_.notifications.addObserver(N::screenParametersChanged, refreshOnPost),
        platform_.workspaceNotifications.addObserver(N::activeSpaceDidChange, refreshOnPost),
        platform_.workspaceNotifications.addObserver(N::didLaunchApplication, refreshOnPost),
        platform_.workspaceNotifications.addObserver(N::didTerminateApplication, refreshOnPost),
        platform_.workspaceNotifications.addObserver(N::didWake, refreshOnPost),
    };
}

void Inventory::refresh() {
    auto displays = readDisplays();
    auto windows = readWindows(displays);
    const bool displaysChanged = displays != displays_;
    const bool windowsChanged = windows != windows_;
    if (displaysChanged) displays_ = std::move(displays);
    if (windowsChanged) windows_ = std::move(windows);
    lastRefresh_ = platform_.loop.wallTime();
    if (displaysChanged) displaysChanges_.set(displaysChanges_.value() + 1);
    if (windowsChanged) windowsChanges_.set(windowsChanges_.value() + 1);
}

Subscription Inventory::observeDisplays(std::function<void(const std::vector<DisplayInfo>&)> observer) const {
    return displaysChanges_.subscribe([this, observer = std::move(observer)](std::uint64_t) { observer(displays_); });
}

Subscription Inventory::observeWindows(std::function<void(const std::vector<WindowInfo>&)> observer) const {
    return windowsChanges_.subscribe([this, observer = std::move(observer)](std::uint64_t) { observer(windows_); });
}

std::vector<DisplayInfo> Inventory::readDisplays() const {
    auto& server = platform_.windowServer;
    auto ids = server.activeDisplayList(maxDisplays).value_or(std::vector<DisplayID>{});
    if (ids.size() > maxDisplays) ids.resize(maxDisplays);

    const auto desktops = skyLight_.spacesByDisplay();
    const auto screens = platform_.screens.screens();
    // The screen with the menu bar: AppKit's y axis starts at its bottom edge.
    const double firstScreenHeight = screens.empty() ? 0 : screens.front().frame.height();

    std::vector<DisplayInfo> displays;
    displays.reserve(ids.size());
    for (const DisplayID id : ids) {
        DisplayInfo display;
        display.id = id;
        display.uuid = server.displayUUID(id).value_or("");
        display.frame = server.displayBounds(id);
        const auto* screen = screenOf(id, screens);
        display.visibleFrame = screen ? flipped(screen->visibleFrame, firstScreenHeight) : display.frame;
        display.name = screen ? screen->localizedName : "Display " + std::to_string(id);
        display.key = {server.displayVendorNumber(id), server.displayModelNumber(id), server.displaySerialNumber(id)};
        display.isMain = server.displayIsMain(id);

        // "Main" stands for every display when displays do not have desktops of their own.
        auto entry = desktops.find(display.uuid);
        if (entry == desktops.end()) entry = desktops.find("Main");
        if (entry != desktops.end()) {
            display.currentSpaceID = entry->second.current;
            display.spaces = entry->second.spaces;
            for (auto& space : display.spaces)
                if (!space.isFullscreen) space.nickname = nicknames_(space, display.uuid);
        }
        displays.push_back(std::move(display));
    }
    std::stable_sort(displays.begin(), displays.end(), [](const DisplayInfo& a, const DisplayInfo& b) {
        return a.frame.minX() < b.frame.minX();
    });
    return displays;
}

std::vector<WindowInfo> Inventory::readWindows(const std::vector<DisplayInfo>& displays) const {
    const auto entries = platform_.windowServer.copyWindowList(platform::WindowServer::ListOption::allExcludingDesktopElements);
    if (!entries) return {};

    std::set<SpaceID> currentSpaces;
    for (const auto& display : displays) currentSpaces.insert(display.currentSpaceID);

    // Many windows share an owner; ask about each app once per refresh.
    std::unordered_map<ProcessID, std::optional<platform::RunningApplication>> apps;
    const auto appOf = [&](ProcessID pid) -> const std::optional<platform::RunningApplication>& {
        auto it = apps.find(pid);
        if (it == apps.end()) it = apps.emplace(pid, platform_.workspace.runningApplication(pid)).first;
        return it->second;
    };

    std::vector<WindowInfo> windows;
    std::int64_t position = -1; // every entry counts toward the front-to-back position, kept or not
    for (const auto& entry : *entries) {
        ++position;
        const auto* layer = entry.member(Keys::layer);
        if (!layer || !layer->isNumber() || layer->asDouble() != 0.0) continue;
        // Only numbers read as ids; a real beyond every integer's range reads as none.
        const auto* number = entry.member(Keys::number);
        const auto windowNumber = number ? number->asUInt32() : std::nullopt;
        if (!windowNumber) continue;
        const auto* owner = entry.member(Keys::ownerPID);
        const auto ownerPID = owner ? owner->asInt32() : std::nullopt;
        if (!ownerPID || *ownerPID == platform_.processID) continue;
        const auto* boundsMember = entry.member(Keys::bounds);
        const auto bounds = boundsMember ? platform::rectFromBoundsDictionary(*boundsMember) : std::nullopt;
        if (!bounds || !isFinite(*bounds)) continue;
        if (bounds->width() < minimumWindowWidth || bounds->height() < minimumWindowHeight) continue;
        if (std::none_of(displays.begin(), displays.end(),
                         [&](const DisplayInfo& d) { return d.frame.intersects(*bounds); }))
            continue;
        if (const auto* alpha = entry.member(Keys::alpha); alpha && alpha->isNumber() && alpha->asDouble() == 0.0)
            continue;

        const WindowID id = *windowNumber;
        auto spaces = skyLight_.spacesForWindow(id);
        if (spaces.empty()) continue;

        // Off screen although every desktop it belongs to is showing: minimized or hidden.
        const auto* onscreen = entry.member(Keys::isOnscreen);
        const bool isOnScreen = onscreen && onscreen->asBool() == true;
        if (!isOnScreen && !currentSpaces.empty() &&
            std::all_of(spaces.begin(), spaces.end(), [&](SpaceID s) { return currentSpaces.contains(s); }))
            continue;

        const ProcessID pid = *ownerPID;
        const auto& app = appOf(pid);
        if (!app || app->activationPolicy != platform::ActivationPolicy::regular) continue;

        WindowInfo window;
        window.id = id;
        window.pid = pid;
        if (const auto* name = nonEmptyString(entry.member(Keys::ownerName)))
            window.appName = *name;
        else if (app->localizedName && !app->localizedName->empty())
            window.appName = *app->localizedName;
        else
            window.appName = "?";
        window.bundleID = app->bundleIdentifier;
        if (const auto* title = entry.member(Keys::name); title && title->isString()) window.title = *title->asString();
        window.frame = *bounds;
        window.spaceIDs = std::move(spaces);
        window.isOnScreen = isOnScreen;
        window.zOrder = position;
        windows.push_back(std::move(window));
    }
    return windows;
}

const DisplayInfo* Inventory::holder(const WindowInfo& window) const {
    const DisplayInfo* best = nullptr;
    double bestArea = 0;
    for (const auto& display : displays()) {
        const auto overlap = display.frame.intersection(window.frame);
        const double area = overlap.isNull() ? 0 : overlap.area();
        if (!best || area > bestArea) {
            best = &display;
            bestArea = area;
        }
    }
    return best && best->frame.intersects(window.frame) ? best : nullptr;
}

std::optional<WindowInfo> Inventory::window(WindowID id) const {
    for (const WindowInfo& listed : windows_)
        if (listed.id == id) return listed;
    return std::nullopt;
}

std::optional<DisplayInfo> Inventory::displayContaining(const WindowInfo& window) const {
    if (const auto* display = holder(window)) return *display;
    return std::nullopt;
}

bool Inventory::isReachable(const WindowInfo& window) const {
    const auto* display = holder(window);
    if (!display) return false;
    const auto current = display->currentSpace();
    if (!current || current->isFullscreen) return false;
    return std::find(window.spaceIDs.begin(), window.spaceIDs.end(), current->id) != window.spaceIDs.end();
}

bool Inventory::isMovable(const WindowInfo& window) const {
    const auto* display = holder(window);
    if (!display) return false;
    for (const SpaceID id : window.spaceIDs) {
        const auto space = std::find_if(display->spaces.begin(), display->spaces.end(),
                                        [&](const SpaceInfo& s) { return s.id == id; });
        if (space != display->spaces.end() && space->isFullscreen) return false;
    }
    return true;
}

} // namespace qw
