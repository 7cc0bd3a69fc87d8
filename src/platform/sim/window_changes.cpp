#include "platform/sim/world_changes.h"

#include <algorithm>

namespace qw::sim {

namespace {

std::string missing(WindowID id) { return "window " + std::to_string(id) + " does not exist"; }

bool lists(const Window& window, SpaceID space) {
    return std::find(window.spaces.begin(), window.spaces.end(), space) != window.spaces.end();
}

// The full-screen space the window is in, if any.
const Space* fullscreenSpaceOf(const World& world, const Window& window) {
    for (const Display& d : world.displays)
        for (const Space& s : d.spaces)
            if (s.fullscreen && lists(window, s.id)) return &s;
    return nullptr;
}

} // namespace

void removeFullscreenSpace(World& world, SpaceID space, Effects& effects) {
    for (Display& d : world.displays) {
        const auto it = std::find_if(d.spaces.begin(), d.spaces.end(), [&](const Space& s) { return s.id == space; });
        if (it == d.spaces.end()) continue;
        d.spaces.erase(it);
        const SpaceID fallback = firstDesktop(d);
        for (Window& w : world.windows) {
            if (!lists(w, space)) continue;
            std::erase(w.spaces, space);
            if (w.spaces.empty() && fallback != 0) w.spaces.push_back(fallback);
        }
        if (d.currentSpace == space) {
            d.currentSpace = fallback;
            effects.postings.push_back(Posting{Centre::workspace, {platform::Notifications::activeSpaceDidChange, {}}});
        }
        return;
    }
}

Change moveWindow(World& world, WindowID id, const Rect& frame) {
    const auto it = std::find_if(world.windows.begin(), world.windows.end(), [&](const Window& w) { return w.id == id; });
    if (it == world.windows.end()) return Failure{missing(id)};
    if (fullscreenSpaceOf(world, *it)) return Failure{"window " + std::to_string(id) + " is full screen"};

    // Dragged onto another display, a window on one desktop joins the desktop shown there.
    const Display* before = displayHolding(world, it->frame);
    const Display* after = displayHolding(world, frame);
    if (world.separateSpaces && after && after != before && it->spaces.size() == 1) {
        if (const SpaceID space = spaceForNewWindow(world, frame)) it->spaces = {space};
    }
    it->frame = frame;
    return Effects{};
}

Change closeWindow(World& world, WindowID id) {
    const auto it = std::find_if(world.windows.begin(), world.windows.end(), [&](const Window& w) { return w.id == id; });
    if (it == world.windows.end()) return Failure{missing(id)};
    const Space* fullscreen = fullscreenSpaceOf(world, *it);
    const std::optional<SpaceID> emptied = fullscreen ? std::optional(fullscreen->id) : std::nullopt;
    world.windows.erase(it);

    Effects effects;
    // A full-screen space lives as long as a window is in it.
    if (emptied && std::none_of(world.windows.begin(), world.windows.end(),
                                [&](const Window& w) { return lists(w, *emptied); }))
        removeFullscreenSpace(world, *emptied, effects);
    return effects;
}

} // namespace qw::sim
