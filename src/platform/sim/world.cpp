#include "platform/sim/world.h"

#include <algorithm>

namespace qw::sim {

Timestamp defaultWorldStart() {
    using namespace std::chrono;
    return sys_days{year{2026} / January / 5} + hours{9};
}

namespace {

template <typename W>
auto* mainDisplayOf(W& world) {
    const auto it = std::find_if(world.displays.begin(), world.displays.end(), [](const auto& d) { return d.main; });
    return it == world.displays.end() ? nullptr : &*it;
}

template <typename W>
auto* displayOf(W& world, DisplayID id) {
    const auto it =
        std::find_if(world.displays.begin(), world.displays.end(), [&](const auto& d) { return d.id == id; });
    return it == world.displays.end() ? nullptr : &*it;
}

template <typename W>
auto* runningAppOf(W& world, ProcessID pid) {
    const auto it = std::find_if(world.apps.begin(), world.apps.end(),
                                 [&](const auto& a) { return a.running && a.pid == pid; });
    return it == world.apps.end() ? nullptr : &*it;
}

} // namespace

const Display* mainDisplay(const World& world) { return mainDisplayOf(world); }
Display* mainDisplay(World& world) { return mainDisplayOf(world); }
const Display* findDisplay(const World& world, DisplayID id) { return displayOf(world, id); }
Display* findDisplay(World& world, DisplayID id) { return displayOf(world, id); }
const App* runningApp(const World& world, ProcessID pid) { return runningAppOf(world, pid); }
App* runningApp(World& world, ProcessID pid) { return runningAppOf(world, pid); }

const App* installedApp(const World& world, std::string_view path) {
    const auto it = std::find_if(world.apps.begin(), world.apps.end(), [&](const App& a) { return a.path == path; });
    return it == world.apps.end() ? nullptr : &*it;
}

const Window* findWindow(const World& world, WindowID id) {
    const auto it =
        std::find_if(world.windows.begin(), world.windows.end(), [&](const Window& w) { return w.id == id; });
    return it == world.windows.end() ? nullptr : &*it;
}

const Display* displayHolding(const World& world, const Rect& rect) {
    const Display* best = nullptr;
    double bestArea = 0;
    for (const Display& display : world.displays) {
        const Rect overlap = display.frame.intersection(rect);
        if (overlap.isNull()) continue;
        const double area = overlap.area();
        if (!best || area > bestArea) {
            best = &display;
            bestArea = area;
        }
    }
    return best;
}

const Display* displayListing(const World& world, SpaceID space) {
    for (const Display& display : world.displays)
        for (const Space& s : display.spaces)
            if (s.id == space) return &display;
    return nullptr;
}

Rect defaultVisibleFrame(const Rect& frame) {
    // A display shorter than the menu bar is all menu bar: the visible part is empty, yet inside it.
    const double bar = std::min(menuBarHeight, frame.height());
    return Rect(frame.x(), frame.y() + bar, frame.width(), frame.height() - bar);
}

SpaceID firstDesktop(const Display& display) {
    const auto it =
        std::find_if(display.spaces.begin(), display.spaces.end(), [](const Space& s) { return !s.fullscreen; });
    return it == display.spaces.end() ? 0 : it->id;
}

std::vector<SpaceID> shownSpaces(const World& world) {
    std::vector<SpaceID> shown;
    if (!world.separateSpaces) {
        if (const Display* main = mainDisplay(world); main && main->currentSpace != 0)
            shown.push_back(main->currentSpace);
        return shown;
    }
    for (const Display& display : world.displays)
        if (display.currentSpace != 0) shown.push_back(display.currentSpace);
    return shown;
}

SpaceID spaceForNewWindow(const World& world, const Rect& frame) {
    const Display* display = world.separateSpaces ? displayHolding(world, frame) : nullptr;
    if (!display) display = mainDisplay(world);
    if (!display) return 0;
    // A display showing a full-screen space takes new windows onto its last shown desktop; the
    // world keeps no history, so its first desktop stands in.
    const auto current = std::find_if(display->spaces.begin(), display->spaces.end(),
                                      [&](const Space& s) { return s.id == display->currentSpace; });
    if (current != display->spaces.end() && current->fullscreen) return firstDesktop(*display);
    return display->currentSpace;
}

bool isOnScreen(const Window& window, const App* app, const std::vector<SpaceID>& shown) {
    if (window.minimized || (app && app->hidden)) return false;
    return std::any_of(window.spaces.begin(), window.spaces.end(), [&](SpaceID space) {
        return std::find(shown.begin(), shown.end(), space) != shown.end();
    });
}

const Window* frontmostWindowAt(const World& world, Point position) {
    const std::vector<SpaceID> shown = shownSpaces(world);
    for (const Window& w : world.windows) {
        if (w.layer < 0 || !w.frame.contains(position)) continue;
        const App* app = runningApp(world, w.pid);
        if (app && isOnScreen(w, app, shown)) return &w;
    }
    return nullptr;
}

} // namespace qw::sim
