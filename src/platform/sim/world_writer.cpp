// Writing a world file: the whole state, in the reader's format, leaving out members that hold their
// defaults so that the file stays readable.

#include "platform/sim/simulated_mac.h"
#include "platform/sim/world_checks.h"
#include "platform/sim/world_json.h"

#include <algorithm>

namespace qw::sim {

using world_json::numberJson;
using world_json::ordered_json;
using world_json::pairJson;
using world_json::propertyJson;
using world_json::rectJson;

namespace {

ordered_json spaceJson(const Space& s) {
    ordered_json j;
    j["id"] = s.id;
    if (!s.uuid.empty()) j["uuid"] = s.uuid;
    if (s.fullscreen) j["fullscreen"] = true;
    if (s.pid) j["pid"] = *s.pid;
    return j;
}

ordered_json displayJson(const Display& d) {
    ordered_json j;
    j["id"] = d.id;
    if (d.uuid) j["uuid"] = *d.uuid;
    j["name"] = d.name;
    if (d.vendor != 0) j["vendor"] = d.vendor;
    if (d.model != 0) j["model"] = d.model;
    if (d.serial != 0) j["serial"] = d.serial;
    j["frame"] = rectJson(d.frame);
    if (d.visibleFrame != defaultVisibleFrame(d.frame)) j["visibleFrame"] = rectJson(d.visibleFrame);
    if (d.main) j["main"] = true;
    if (!d.screen) j["screen"] = false;
    j["spaces"] = ordered_json::array();
    for (const Space& s : d.spaces) j["spaces"].push_back(spaceJson(s));
    if (d.currentSpace != firstDesktop(d)) j["currentSpace"] = d.currentSpace;
    return j;
}

void putBehaviour(ordered_json& j, const AppBehaviour& b) {
    if (b.refusesMove) j["refusesMove"] = *b.refusesMove;
    if (b.notResponding) j["notResponding"] = true;
    if (b.fixedSize) j["fixedSize"] = true;
    if (b.minSize) j["minSize"] = pairJson(b.minSize->width, b.minSize->height);
    if (b.maxSize) j["maxSize"] = pairJson(b.maxSize->width, b.maxSize->height);
    if (b.offset != Point{}) j["offset"] = pairJson(b.offset.x, b.offset.y);
    if (b.snapsBack) j["snapsBack"] = true;
    if (b.hidesWindows) j["hidesWindows"] = true;
    if (b.enhancedUserInterface) j["enhancedUserInterface"] = true;
    if (b.titleBar) {
        ordered_json elements = ordered_json::array();
        for (const TitleBarElement& e : *b.titleBar) {
            ordered_json element;
            element["role"] = e.role;
            element["frame"] = rectJson(e.frame);
            if (!e.actions.empty()) element["actions"] = e.actions;
            elements.push_back(std::move(element));
        }
        j["titleBar"] = std::move(elements);
    }
    if (b.undraggable) j["undraggable"] = true;
}

ordered_json appJson(const App& a) {
    ordered_json j;
    j["name"] = a.name;
    if (a.bundleID) j["bundleID"] = *a.bundleID;
    j["path"] = a.path;
    if (a.running) {
        j["running"] = true;
        j["pid"] = a.pid;
    }
    if (!a.regular) j["regular"] = false;
    if (a.hidden) j["hidden"] = true;
    if (a.launchDate) j["launchDate"] = formatTimestamp(*a.launchDate);
    if (a.opensWindows != App{}.opensWindows) {
        ordered_json windows = ordered_json::array();
        for (const OpenedWindow& w : a.opensWindows) {
            ordered_json window = ordered_json::object();
            if (!w.title.empty()) window["title"] = w.title;
            if (w.frame) window["frame"] = rectJson(*w.frame);
            windows.push_back(std::move(window));
        }
        j["opensWindows"] = std::move(windows);
    }
    if (a.launchDelay != defaultLaunchDelay) j["launchDelay"] = numberJson(a.launchDelay);
    if (a.launches) j["launches"] = *a.launches;
    putBehaviour(j, a.behaviour);
    return j;
}

ordered_json windowJson(const Window& w) {
    ordered_json j;
    j["id"] = w.id;
    j["pid"] = w.pid;
    if (!w.title.empty()) j["title"] = w.title;
    j["frame"] = rectJson(w.frame);
    j["spaces"] = w.spaces;
    if (w.minimized) j["minimized"] = true;
    if (w.layer != 0) j["layer"] = w.layer;
    if (w.alpha != 1) j["alpha"] = numberJson(w.alpha);
    return j;
}

ordered_json loginItemJson(const LoginItem& item) {
    using Status = platform::LoginItems::Status;
    ordered_json j = ordered_json::object();
    switch (item.status) {
    case Status::notRegistered: break;
    case Status::enabled: j["status"] = "enabled"; break;
    case Status::requiresApproval: j["status"] = "requiresApproval"; break;
    case Status::notFound: j["status"] = "notFound"; break;
    }
    if (item.requiresApproval) j["requiresApproval"] = true;
    if (item.error) j["error"] = *item.error;
    if (item.settingsOpened != 0) j["settingsOpened"] = item.settingsOpened;
    return j;
}

ordered_json eventJson(const TimelineEvent& event) {
    ordered_json j;
    j["at"] = numberJson(event.at);
    j["event"] = eventName(event.event);
    std::visit(
        [&](const auto& e) {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, events::ConnectDisplay>) {
                j["display"] = displayJson(e.display);
            } else if constexpr (std::is_same_v<E, events::DisconnectDisplay> || std::is_same_v<E, events::CloseWindow>) {
                j["id"] = e.id;
            } else if constexpr (std::is_same_v<E, events::MoveDisplay> || std::is_same_v<E, events::MoveWindow>) {
                j["id"] = e.id;
                j["frame"] = rectJson(e.frame);
            } else if constexpr (std::is_same_v<E, events::LaunchApp>) {
                j["path"] = e.path;
            } else if constexpr (std::is_same_v<E, events::FinishLaunch> || std::is_same_v<E, events::QuitApp>) {
                j["pid"] = e.pid;
            } else if constexpr (std::is_same_v<E, events::ShowDesktop>) {
                j["display"] = e.display;
                j["space"] = e.space;
            }
        },
        event.event);
    return j;
}

} // namespace

std::string writeWorld(const World& world) {
    ordered_json j;
    j["now"] = formatTimestamp(world.now);
    if (world.processID != defaultProcessID) j["processID"] = world.processID;
    j["accessibility"] = world.accessibility;
    j["screenRecording"] = world.screenRecording;
    j["separateSpaces"] = world.separateSpaces;
    j["desktopFunctions"] = world.desktopFunctions;
    if (world.asleep) j["asleep"] = true;
    j["displays"] = ordered_json::array();
    for (const Display& d : world.displays) j["displays"].push_back(displayJson(d));
    j["apps"] = ordered_json::array();
    for (const App& a : world.apps) j["apps"].push_back(appJson(a));
    j["windows"] = ordered_json::array();
    for (const Window& w : world.windows) j["windows"].push_back(windowJson(w));
    if (!world.defaults.empty()) j["defaults"] = propertyJson(world.defaults);
    if (!world.preferences.empty()) {
        ordered_json domains = ordered_json::object();
        for (const auto& [domain, values] : world.preferences) domains[domain] = propertyJson(values);
        j["preferences"] = std::move(domains);
    }
    if (world.loginItem != LoginItem{}) j["loginItem"] = loginItemJson(world.loginItem);
    if (!world.openedURLs.empty()) j["openedURLs"] = world.openedURLs;
    if (world.accessibilityPrompts != 0) j["accessibilityPrompts"] = world.accessibilityPrompts;
    if (world.screenCaptureRequests != 0) j["screenCaptureRequests"] = world.screenCaptureRequests;
    if (world.lastPID != 0) j["lastPID"] = world.lastPID;
    if (world.lastWindowID != 0) j["lastWindowID"] = world.lastWindowID;
    // Pending events that no longer fit (the product closed the window one names) would do nothing;
    // left in, they would make the file unreadable.
    const std::vector<std::size_t> unfit = unfitTimelineEvents(world);
    if (world.timeline.size() > unfit.size()) {
        ordered_json timeline = ordered_json::array();
        for (std::size_t i = 0; i < world.timeline.size(); ++i)
            if (!std::binary_search(unfit.begin(), unfit.end(), i)) timeline.push_back(eventJson(world.timeline[i]));
        j["timeline"] = std::move(timeline);
    }
    // Strings the product stored may not be valid UTF-8; they are written with replacement characters.
    return j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace qw::sim
