#include "platform/sim/world_checks.h"

#include <algorithm>
#include <unordered_map>

namespace qw::sim {

namespace {

std::string at(const std::string& path, std::size_t index) { return path + "[" + std::to_string(index) + "]"; }
std::string displayPath(std::size_t i) { return at("displays", i); }

Failure failAt(const std::string& path, const std::string& message) { return Failure{path + ": " + message}; }

bool lies(const Rect& inner, const Rect& outer) {
    return inner.minX() >= outer.minX() && inner.minY() >= outer.minY() && inner.maxX() <= outer.maxX() &&
           inner.maxY() <= outer.maxY();
}

bool overlap(const Rect& a, const Rect& b) {
    const Rect common = a.intersection(b);
    return !common.isNull() && common.area() > 0;
}

// What a display must be on its own, wherever it is listed.
std::optional<Failure> checkDisplay(const Display& d, const std::string& path, bool separateSpaces) {
    if (d.id == 0) return failAt(path + ".id", "0 is not a display id");
    if (d.frame.width() <= 0 || d.frame.height() <= 0)
        return failAt(path + ".frame", "a display has a width and a height");
    if (!lies(d.visibleFrame, d.frame)) return failAt(path + ".visibleFrame", "must lie within the frame");

    const bool listsDesktops = separateSpaces || d.main;
    if (!listsDesktops && !d.spaces.empty())
        return failAt(path + ".spaces", "with separateSpaces false only the main display lists desktops");
    if (listsDesktops && firstDesktop(d) == 0)
        return failAt(path + ".spaces", "a display has at least one ordinary desktop");
    for (std::size_t k = 0; k < d.spaces.size(); ++k) {
        const Space& s = d.spaces[k];
        const std::string spacePath = at(path + ".spaces", k);
        if (s.id == 0) return failAt(spacePath + ".id", "0 is not a space id");
        if (s.fullscreen && !s.pid) return failAt(spacePath, "a full-screen space needs the pid of its app");
        if (!s.fullscreen && s.pid) return failAt(spacePath + ".pid", "only a full-screen space has a pid");
    }
    if (d.spaces.empty()) {
        if (d.currentSpace != 0) return failAt(path + ".currentSpace", "this display lists no desktops");
    } else if (std::none_of(d.spaces.begin(), d.spaces.end(), [&](const Space& s) { return s.id == d.currentSpace; })) {
        return failAt(path + ".currentSpace",
                      std::to_string(d.currentSpace) + " is not one of this display's spaces");
    }
    return std::nullopt;
}

std::optional<Failure> checkDisplays(const World& world) {
    std::optional<std::size_t> main;
    std::unordered_map<SpaceID, std::string> spaces;
    std::unordered_map<std::string, std::string> spaceUuids;
    for (std::size_t i = 0; i < world.displays.size(); ++i) {
        const Display& d = world.displays[i];
        const std::string path = displayPath(i);
        if (auto problem = checkDisplay(d, path, world.separateSpaces)) return problem;
        for (std::size_t j = 0; j < i; ++j) {
            const Display& earlier = world.displays[j];
            if (earlier.id == d.id)
                return failAt(path + ".id", std::to_string(d.id) + " is also the id of " + displayPath(j));
            if (d.uuid && earlier.uuid == d.uuid)
                return failAt(path + ".uuid", "also the uuid of " + displayPath(j));
            if (overlap(earlier.frame, d.frame)) return failAt(path + ".frame", "overlaps " + displayPath(j));
        }
        if (d.main) {
            if (main) return failAt(path + ".main", displayPath(*main) + " is the main display already");
            main = i;
            if (d.frame.x() != 0 || d.frame.y() != 0)
                return failAt(path + ".frame", "the main display's frame starts at [0, 0]");
        }
        for (std::size_t k = 0; k < d.spaces.size(); ++k) {
            const Space& s = d.spaces[k];
            const std::string spacePath = at(path + ".spaces", k);
            const auto [listed, fresh] = spaces.emplace(s.id, spacePath);
            if (!fresh) return failAt(spacePath + ".id", std::to_string(s.id) + " is also " + listed->second);
            if (!s.uuid.empty()) {
                const auto [named, freshUuid] = spaceUuids.emplace(s.uuid, spacePath);
                if (!freshUuid) return failAt(spacePath + ".uuid", "also the uuid of " + named->second);
            }
            if (s.pid && !runningApp(world, *s.pid))
                return failAt(spacePath + ".pid", std::to_string(*s.pid) + " is not the pid of a running app");
        }
    }
    if (!world.displays.empty() && !main) return failAt("displays", "none of them is the main display");
    return std::nullopt;
}

std::optional<Failure> checkApps(const World& world) {
    std::unordered_map<std::string, std::size_t> paths;
    std::unordered_map<ProcessID, std::size_t> pids;
    for (std::size_t i = 0; i < world.apps.size(); ++i) {
        const App& a = world.apps[i];
        const std::string path = at("apps", i);
        if (a.name.empty()) return failAt(path + ".name", "must not be empty");
        if (a.path.empty()) return failAt(path + ".path", "must not be empty");
        if (const auto [earlier, fresh] = paths.emplace(a.path, i); !fresh)
            return failAt(path + ".path", "also the path of " + at("apps", earlier->second));
        if (a.running) {
            if (a.pid <= 0) return failAt(path + ".pid", "a running app needs a pid");
            if (a.pid == world.processID)
                return failAt(path + ".pid", std::to_string(a.pid) + " is this process's own id (processID)");
            if (const auto [earlier, fresh] = pids.emplace(a.pid, i); !fresh)
                return failAt(path + ".pid", std::to_string(a.pid) + " is also the pid of " + at("apps", earlier->second));
        } else {
            if (a.pid != 0) return failAt(path + ".pid", "only a running app has a pid");
            if (a.hidden) return failAt(path + ".hidden", "only a running app can be hidden");
            if (a.launchDate) return failAt(path + ".launchDate", "only a running app has a launch date");
        }
        if (a.launches) {
            if (*a.launches == a.path) return failAt(path + ".launches", "an app does not launch itself");
            if (!installedApp(world, *a.launches)) return failAt(path + ".launches", "no app is installed at " + *a.launches);
        }
        const auto& b = a.behaviour;
        if (b.minSize && b.maxSize && (b.maxSize->width < b.minSize->width || b.maxSize->height < b.minSize->height))
            return failAt(path + ".maxSize", "smaller than minSize");
    }
    return std::nullopt;
}

std::optional<Failure> checkWindows(const World& world) {
    std::unordered_map<SpaceID, bool> spaces;
    for (const Display& d : world.displays)
        for (const Space& s : d.spaces) spaces.emplace(s.id, true);
    std::unordered_map<ProcessID, bool> running{{world.processID, true}};
    for (const App& a : world.apps)
        if (a.running) running.emplace(a.pid, true);

    std::unordered_map<WindowID, std::size_t> ids;
    ids.reserve(world.windows.size());
    for (std::size_t i = 0; i < world.windows.size(); ++i) {
        const Window& w = world.windows[i];
        const std::string path = at("windows", i);
        if (w.id == 0) return failAt(path + ".id", "0 is not a window number");
        if (const auto [earlier, fresh] = ids.emplace(w.id, i); !fresh)
            return failAt(path + ".id", std::to_string(w.id) + " is also the id of " + at("windows", earlier->second));
        if (!running.contains(w.pid))
            return failAt(path + ".pid", std::to_string(w.pid) + " is not the pid of a running app");
        for (std::size_t k = 0; k < w.spaces.size(); ++k) {
            const SpaceID s = w.spaces[k];
            if (!spaces.contains(s))
                return failAt(at(path + ".spaces", k), std::to_string(s) + " is not a space of any display");
            if (std::find(w.spaces.begin(), w.spaces.begin() + static_cast<std::ptrdiff_t>(k), s) !=
                w.spaces.begin() + static_cast<std::ptrdiff_t>(k))
                return failAt(at(path + ".spaces", k), std::to_string(s) + " is listed twice");
        }
        if (w.alpha < 0 || w.alpha > 1) return failAt(path + ".alpha", "must be from 0 to 1");
    }
    return std::nullopt;
}

} // namespace

std::optional<Failure> checkWorld(const World& world) {
    if (world.processID <= 0) return failAt("processID", "must be a positive process id");
    if (auto problem = checkDisplays(world)) return problem;
    if (auto problem = checkApps(world)) return problem;
    if (auto problem = checkWindows(world)) return problem;
    for (std::size_t i = 0; i < world.timeline.size(); ++i) {
        const auto* connect = std::get_if<events::ConnectDisplay>(&world.timeline[i].event);
        if (!connect) continue;
        const std::string path = at("timeline", i) + ".display";
        if (connect->display.main)
            return failAt(path + ".main", "a display that connects does not take the menu bar");
        if (auto problem = checkDisplay(connect->display, path, world.separateSpaces)) return problem;
    }
    return std::nullopt;
}

} // namespace qw::sim
