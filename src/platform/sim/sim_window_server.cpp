#include "platform/sim/sim_window_server.h"

#include <unordered_map>

namespace qw::sim {

using platform::PropertyValue;
namespace Keys = platform::WindowKeys;

std::optional<std::vector<DisplayID>> SimWindowServer::activeDisplayList(std::uint32_t maxDisplays) {
    std::vector<DisplayID> ids;
    for (const Display& d : state_.world.displays) {
        if (ids.size() >= maxDisplays) break;
        ids.push_back(d.id);
    }
    return ids;
}

Rect SimWindowServer::displayBounds(DisplayID id) {
    const Display* d = findDisplay(state_.world, id);
    return d ? d->frame : Rect::null();
}

std::optional<std::string> SimWindowServer::displayUUID(DisplayID id) {
    const Display* d = findDisplay(state_.world, id);
    return d ? d->uuid : std::nullopt;
}

std::uint32_t SimWindowServer::displayVendorNumber(DisplayID id) {
    const Display* d = findDisplay(state_.world, id);
    return d ? d->vendor : 0;
}

std::uint32_t SimWindowServer::displayModelNumber(DisplayID id) {
    const Display* d = findDisplay(state_.world, id);
    return d ? d->model : 0;
}

std::uint32_t SimWindowServer::displaySerialNumber(DisplayID id) {
    const Display* d = findDisplay(state_.world, id);
    return d ? d->serial : 0;
}

bool SimWindowServer::displayIsMain(DisplayID id) {
    const Display* d = findDisplay(state_.world, id);
    return d && d->main;
}

std::optional<PropertyValue::Array> SimWindowServer::copyWindowList(ListOption option) {
    const World& world = state_.world;
    std::unordered_map<ProcessID, const App*> apps;
    for (const App& app : world.apps)
        if (app.running) apps.emplace(app.pid, &app);
    const std::vector<SpaceID> shown = shownSpaces(world);

    PropertyValue::Array list;
    list.reserve(world.windows.size());
    for (const Window& w : world.windows) {
        if (option == ListOption::allExcludingDesktopElements && w.layer < 0) continue;
        const bool own = w.pid == world.processID;
        const auto found = apps.find(w.pid);
        const App* app = found == apps.end() ? nullptr : found->second;

        PropertyValue::Dictionary entry{
            {Keys::number, w.id},
            {Keys::layer, w.layer},
            {Keys::ownerPID, w.pid},
            {Keys::bounds, platform::boundsDictionary(w.frame)},
            {Keys::alpha, w.alpha},
        };
        if (own)
            entry.emplace(Keys::ownerName, selfName);
        else if (app)
            entry.emplace(Keys::ownerName, app->name);
        if (own || world.screenRecording) entry.emplace(Keys::name, w.title);
        if (isOnScreen(w, app, shown)) entry.emplace(Keys::isOnscreen, true);
        list.emplace_back(std::move(entry));
    }
    return list;
}

} // namespace qw::sim
