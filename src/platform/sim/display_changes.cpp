#include "platform/sim/world_changes.h"

#include <algorithm>

namespace qw::sim {

namespace {

Posting screenParametersChanged() {
    return Posting{Centre::application, {platform::Notifications::screenParametersChanged, {}}};
}

std::string displayText(DisplayID id) { return "display " + std::to_string(id); }

bool overlaps(const Rect& a, const Rect& b) {
    const Rect overlap = a.intersection(b);
    return !overlap.isNull() && overlap.area() > 0;
}

// A display arrangement is a tiling without overlaps.
std::optional<Failure> overlapIn(const World& world) {
    for (std::size_t i = 0; i < world.displays.size(); ++i)
        for (std::size_t j = i + 1; j < world.displays.size(); ++j)
            if (overlaps(world.displays[i].frame, world.displays[j].frame))
                return Failure{displayText(world.displays[j].id) + " would overlap " +
                               displayText(world.displays[i].id)};
    return std::nullopt;
}

// Keeps the main display's frame at the origin, as the window server does, by moving everything.
void keepMainAtOrigin(World& world) {
    const Display* main = mainDisplay(world);
    if (!main) return;
    const double dx = -main->frame.x(), dy = -main->frame.y();
    if (dx == 0 && dy == 0) return;
    for (Display& d : world.displays) {
        d.frame = d.frame.offsetBy(dx, dy);
        d.visibleFrame = d.visibleFrame.offsetBy(dx, dy);
    }
    for (Window& w : world.windows) w.frame = w.frame.offsetBy(dx, dy);
}

// The window placed at the same spot of `to` as it had on `from`, kept inside `to`'s visible frame.
Rect carried(const Rect& frame, const Display& from, const Display& to) {
    const Rect& area = to.visibleFrame;
    double x = area.x() + (frame.x() - from.frame.x());
    double y = area.y() + std::max(0.0, frame.y() - from.visibleFrame.y());
    x = std::max(area.minX(), std::min(x, area.maxX() - frame.width()));
    y = std::max(area.minY(), std::min(y, area.maxY() - frame.height()));
    return Rect(x, y, frame.width(), frame.height());
}

bool inFullscreenSpaceOf(const Window& window, const Display& display) {
    return std::any_of(display.spaces.begin(), display.spaces.end(), [&](const Space& s) {
        return s.fullscreen && std::find(window.spaces.begin(), window.spaces.end(), s.id) != window.spaces.end();
    });
}

} // namespace

Change connectDisplay(World& world, const Display& display) {
    if (display.main) return Failure{"a display that connects does not take the menu bar (main must be false)"};
    if (findDisplay(world, display.id)) return Failure{displayText(display.id) + " is connected already"};
    for (const Display& other : world.displays) {
        if (display.uuid && other.uuid == display.uuid)
            return Failure{"its uuid is the uuid of " + displayText(other.id)};
        if (overlaps(display.frame, other.frame))
            return Failure{"its frame overlaps " + displayText(other.id)};
    }
    for (const Space& space : display.spaces) {
        if (const Display* other = displayListing(world, space.id))
            return Failure{"space " + std::to_string(space.id) + " is a space of " + displayText(other->id)};
        if (space.pid && !runningApp(world, *space.pid))
            return Failure{"space " + std::to_string(space.id) + ": " + std::to_string(*space.pid) +
                           " is not the pid of a running app"};
    }
    world.displays.push_back(display);
    Effects effects;
    effects.postings.push_back(screenParametersChanged());
    return effects;
}

Change disconnectDisplay(World& world, DisplayID id) {
    const auto gone = std::find_if(world.displays.begin(), world.displays.end(),
                                   [&](const Display& d) { return d.id == id; });
    if (gone == world.displays.end()) return Failure{displayText(id) + " is not connected"};
    if (world.displays.size() == 1) return Failure{displayText(id) + " is the only display"};

    const Display removed = *gone;
    // Which windows it held, decided before anything moves.
    std::vector<bool> held(world.windows.size());
    for (std::size_t i = 0; i < world.windows.size(); ++i)
        held[i] = displayHolding(world, world.windows[i].frame) == &*gone;
    world.displays.erase(gone);

    Display* target = mainDisplay(world);
    bool inheritsDesktops = false;
    if (!target) { // the main display went: the next one takes the menu bar
        target = &world.displays.front();
        target->main = true;
        if (!world.separateSpaces) { // and, with shared desktops, the desktops with it
            target->spaces = removed.spaces;
            target->currentSpace = removed.currentSpace;
            inheritsDesktops = true;
        }
    }
    // Full-screen spaces survive on the target; ordinary desktops go, their windows joining the
    // desktop the target shows.
    if (!inheritsDesktops)
        for (const Space& s : removed.spaces)
            if (s.fullscreen) target->spaces.push_back(s);
    const auto isRemovedDesktop = [&](SpaceID id) {
        return !inheritsDesktops && std::any_of(removed.spaces.begin(), removed.spaces.end(),
                                                [&](const Space& s) { return s.id == id && !s.fullscreen; });
    };
    const SpaceID shown = spaceForNewWindow(world, target->frame);
    for (std::size_t i = 0; i < world.windows.size(); ++i) {
        Window& w = world.windows[i];
        if (inFullscreenSpaceOf(w, removed)) {
            w.frame = target->frame;
            continue;
        }
        if (std::erase_if(w.spaces, isRemovedDesktop) > 0 && shown != 0 &&
            std::find(w.spaces.begin(), w.spaces.end(), shown) == w.spaces.end())
            w.spaces.push_back(shown);
        if (held[i]) w.frame = carried(w.frame, removed, *target);
    }
    keepMainAtOrigin(world);

    Effects effects;
    effects.postings.push_back(screenParametersChanged());
    return effects;
}

Change moveDisplay(World& world, DisplayID id, const Rect& frame) {
    Display* display = findDisplay(world, id);
    if (!display) return Failure{displayText(id) + " is not connected"};
    if (frame.width() <= 0 || frame.height() <= 0) return Failure{"a display's frame has a width and a height"};

    World moved = world;
    Display& d = *findDisplay(moved, id);
    const double dx = frame.x() - d.frame.x(), dy = frame.y() - d.frame.y();
    for (std::size_t i = 0; i < moved.windows.size(); ++i) {
        Window& w = moved.windows[i];
        if (inFullscreenSpaceOf(w, d))
            w.frame = frame;
        else if (displayHolding(world, world.windows[i].frame) == display)
            w.frame = w.frame.offsetBy(dx, dy);
    }
    // The visible frame keeps its insets (menu bar, Dock) within the new frame.
    const double top = d.visibleFrame.minY() - d.frame.minY(), left = d.visibleFrame.minX() - d.frame.minX();
    const double bottom = d.frame.maxY() - d.visibleFrame.maxY(), right = d.frame.maxX() - d.visibleFrame.maxX();
    d.frame = frame;
    d.visibleFrame = Rect(frame.x() + left, frame.y() + top, std::max(0.0, frame.width() - left - right),
                          std::max(0.0, frame.height() - top - bottom));
    keepMainAtOrigin(moved);
    if (auto overlap = overlapIn(moved)) return *overlap;

    world = std::move(moved);
    Effects effects;
    effects.postings.push_back(screenParametersChanged());
    return effects;
}

Change showDesktop(World& world, DisplayID id, SpaceID space) {
    Display* display = findDisplay(world, id);
    if (!display) return Failure{displayText(id) + " is not connected"};
    // With shared desktops, every display shows what the main display shows.
    Display* owner = world.separateSpaces ? display : mainDisplay(world);
    const bool listed = owner && std::any_of(owner->spaces.begin(), owner->spaces.end(),
                                             [&](const Space& s) { return s.id == space; });
    if (!listed) return Failure{"space " + std::to_string(space) + " is not a space of " + displayText(id)};
    Effects effects;
    if (owner->currentSpace != space) {
        owner->currentSpace = space;
        effects.postings.push_back(Posting{Centre::workspace, {platform::Notifications::activeSpaceDidChange, {}}});
    }
    return effects;
}

} // namespace qw::sim
