#include "soak/step_generator.h"

#include "editor/layout_editor.h"
#include "platform/sim/world_changes.h"
#include "system/inventory.h"

#include <algorithm>
#include <cmath>

namespace qw::soak {

namespace {

namespace E = sim::events;
namespace A = actions;

sim::Display extraDisplay(DisplayID id, std::string uuid, std::uint32_t vendor, std::uint32_t model,
                          std::uint32_t serial, std::string name, Size size) {
    sim::Display d;
    d.id = id;
    d.uuid = std::move(uuid);
    d.vendor = vendor;
    d.model = model;
    d.serial = serial;
    d.name = std::move(name);
    d.frame = Rect(Point{0, 0}, size);
    return d;
}

bool overlapsAny(const sim::World& world, const Rect& frame, DisplayID except) {
    return std::any_of(world.displays.begin(), world.displays.end(), [&](const sim::Display& d) {
        if (d.id == except) return false;
        const Rect overlap = d.frame.intersection(frame);
        return !overlap.isNull() && overlap.area() > 0;
    });
}

bool inFullscreenSpace(const sim::World& world, const sim::Window& window) {
    for (const sim::Display& d : world.displays)
        for (const sim::Space& s : d.spaces)
            if (s.fullscreen && std::find(window.spaces.begin(), window.spaces.end(), s.id) != window.spaces.end())
                return true;
    return false;
}

// The windows a user can see and drag: ordinary ones of running apps, not full screen.
std::vector<const sim::Window*> ordinaryWindows(const sim::World& world) {
    std::vector<const sim::Window*> windows;
    for (const sim::Window& w : world.windows)
        if (w.layer == 0 && w.pid != world.processID && sim::runningApp(world, w.pid) && !inFullscreenSpace(world, w))
            windows.push_back(&w);
    return windows;
}

// The event fits the world as it stands.
bool fits(const sim::World& world, const sim::Event& event) {
    sim::World copy = world;
    return static_cast<bool>(sim::applyEvent(copy, event, world.now));
}

} // namespace

std::vector<sim::Display> extraDisplays() {
    return {extraDisplay(3, "B3D2C1A0-1111-4222-8333-944455556666", 4268, 16, 3, "Projector", {1920, 1080}),
            extraDisplay(4, "C4E3D2B1-7777-4888-9999-AAAABBBBCCCC", 1552, 44, 9, "Studio Display", {2560, 1440})};
}

StepGenerator::StepGenerator(std::uint64_t seed, const sim::World& initial) : random_(seed) {
    catalogue_ = initial.displays;
    for (sim::Display& d : catalogue_) {
        d.main = false;
        std::erase_if(d.spaces, [](const sim::Space& s) { return s.fullscreen; });
    }
    for (sim::Display& extra : extraDisplays()) catalogue_.push_back(std::move(extra));
}

double StepGenerator::uniform(double low, double high) {
    const double unit = static_cast<double>(random_() >> 11) * 0x1.0p-53;
    return low + unit * (high - low);
}

std::size_t StepGenerator::pick(std::size_t count) { return count == 0 ? 0 : static_cast<std::size_t>(random_() % count); }

bool StepGenerator::chance(double probability) { return uniform(0, 1) < probability; }

// Sometimes shorter than the automatic restore's settle time (3 s, 4 after a wake), so that bursts
// debounce and restores are overtaken; sometimes long enough for restores and launches to finish.
double StepGenerator::settleTime() {
    const double roll = uniform(0, 1);
    if (roll < 0.5) return std::round(uniform(0.05, 2.9) * 100) / 100;
    if (roll < 0.9) return std::round(uniform(3, 7) * 100) / 100;
    return std::round(uniform(7, 20) * 100) / 100;
}

Rect StepGenerator::frameOn(const Rect& area, const Size& size) {
    const double w = std::min(size.width, area.width());
    const double h = std::min(size.height, area.height());
    const double x = std::round(uniform(area.minX(), area.maxX() - w));
    const double y = std::round(uniform(area.minY(), area.maxY() - h));
    return Rect(x, y, w, h);
}

Step StepGenerator::nextEvent(const sim::World& world) {
    using Maker = std::optional<sim::Event> (StepGenerator::*)(const sim::World&);
    struct Kind {
        Maker make;
        int weight;
    };
    static constexpr Kind kinds[] = {
        {&StepGenerator::connect, 6},     {&StepGenerator::disconnect, 5},  {&StepGenerator::rearrange, 5},
        {&StepGenerator::launch, 12},     {&StepGenerator::quit, 7},        {&StepGenerator::moveWindow, 25},
        {&StepGenerator::closeWindow, 9}, {&StepGenerator::showDesktop, 15},
    };
    constexpr int sleepWeight = 6;
    int total = sleepWeight;
    for (const Kind& k : kinds) total += k.weight;

    for (int attempt = 0; attempt < 20; ++attempt) {
        int roll = static_cast<int>(pick(static_cast<std::size_t>(total)));
        std::optional<sim::Event> event;
        if (roll < sleepWeight) {
            event = world.asleep ? sim::Event{E::Wake{}} : sim::Event{E::Sleep{}};
        } else {
            roll -= sleepWeight;
            for (const Kind& k : kinds) {
                if (roll < k.weight) {
                    event = (this->*k.make)(world);
                    break;
                }
                roll -= k.weight;
            }
        }
        if (event && fits(world, *event)) {
            // A display that leaves is remembered with its desktops, to come back with them.
            if (const auto* leaving = std::get_if<E::DisconnectDisplay>(&*event))
                if (const sim::Display* d = sim::findDisplay(world, leaving->id))
                    for (sim::Display& known : catalogue_)
                        if (known.id == d->id) {
                            known.spaces = d->spaces;
                            std::erase_if(known.spaces, [](const sim::Space& s) { return s.fullscreen; });
                        }
            return Step{std::move(*event), settleTime()};
        }
    }
    return Step{world.asleep ? sim::Event{E::Wake{}} : sim::Event{E::Sleep{}}, settleTime()};
}

std::optional<sim::Event> StepGenerator::connect(const sim::World& world) {
    if (world.displays.size() >= 4) return std::nullopt;
    std::vector<const sim::Display*> away;
    for (const sim::Display& d : catalogue_)
        if (!sim::findDisplay(world, d.id)) away.push_back(&d);
    if (away.empty()) return std::nullopt;
    sim::Display display = *away[pick(away.size())];

    double left = 0, right = 0;
    for (const sim::Display& d : world.displays) {
        left = std::min(left, d.frame.minX());
        right = std::max(right, d.frame.maxX());
    }
    const Size size = display.frame.size;
    const double x = chance(0.6) ? right : left - size.width;
    const double y = std::round(uniform(-size.height / 2, 400));
    display.frame = Rect(Point{x, y}, size);
    display.visibleFrame = sim::defaultVisibleFrame(display.frame);
    const bool spacesFree = !display.spaces.empty() && std::none_of(display.spaces.begin(), display.spaces.end(),
                                                                    [&](const sim::Space& s) {
                                                                        return sim::displayListing(world, s.id);
                                                                    });
    if (!spacesFree) {
        display.spaces.clear();
        const int count = 1 + static_cast<int>(pick(2));
        for (int i = 0; i < count; ++i) {
            while (sim::displayListing(world, nextSpace_)) ++nextSpace_;
            display.spaces.push_back(sim::Space{nextSpace_++, i == 0 ? "" : "SOAK-SPACE-" + std::to_string(nextSpace_), false, {}});
        }
    }
    display.currentSpace = display.spaces.front().id;
    return E::ConnectDisplay{display};
}

std::optional<sim::Event> StepGenerator::disconnect(const sim::World& world) {
    if (world.displays.size() < 2) return std::nullopt;
    // The main display leaves now and then: the next one takes the menu bar.
    std::vector<const sim::Display*> candidates;
    for (const sim::Display& d : world.displays)
        if (!d.main || chance(0.25)) candidates.push_back(&d);
    if (candidates.empty()) return std::nullopt;
    return E::DisconnectDisplay{candidates[pick(candidates.size())]->id};
}

std::optional<sim::Event> StepGenerator::rearrange(const sim::World& world) {
    const sim::Display& display = world.displays[pick(world.displays.size())];
    Size size = display.frame.size;
    if (chance(0.3)) { // another resolution
        const double scale = chance(0.5) ? 0.8 : 1.25;
        size = Size{std::round(size.width * scale), std::round(size.height * scale)};
        for (const sim::Display& known : catalogue_)
            if (known.id == display.id && chance(0.5)) size = known.frame.size;
    }
    if (display.main) return E::MoveDisplay{display.id, Rect(Point{0, 0}, size)};

    double left = 0, right = 0, bottom = 0;
    for (const sim::Display& d : world.displays) {
        if (d.id == display.id) continue;
        left = std::min(left, d.frame.minX());
        right = std::max(right, d.frame.maxX());
        bottom = std::max(bottom, d.frame.maxY());
    }
    Rect frame;
    switch (pick(3)) {
    case 0: frame = Rect(Point{right, std::round(uniform(-size.height / 2, 500))}, size); break;
    case 1: frame = Rect(Point{left - size.width, std::round(uniform(-size.height / 2, 500))}, size); break;
    default: frame = Rect(Point{std::round(uniform(left, right - 200)), bottom}, size); break;
    }
    if (overlapsAny(world, frame, display.id)) return std::nullopt;
    return E::MoveDisplay{display.id, frame};
}

std::optional<sim::Event> StepGenerator::launch(const sim::World& world) {
    std::vector<const sim::App*> apps;
    for (const sim::App& a : world.apps)
        if (a.regular && (!a.running || chance(0.3))) apps.push_back(&a);
    if (apps.empty()) return std::nullopt;
    return E::LaunchApp{apps[pick(apps.size())]->path};
}

std::optional<sim::Event> StepGenerator::quit(const sim::World& world) {
    std::vector<const sim::App*> running;
    for (const sim::App& a : world.apps)
        if (a.running && a.regular) running.push_back(&a);
    if (running.size() < 4) return std::nullopt;
    return E::QuitApp{running[pick(running.size())]->pid};
}

std::optional<sim::Event> StepGenerator::moveWindow(const sim::World& world) {
    const auto windows = ordinaryWindows(world);
    if (windows.empty() || world.displays.empty()) return std::nullopt;
    const sim::Window& window = *windows[pick(windows.size())];
    const sim::Display& display = world.displays[pick(world.displays.size())];
    Size size = window.frame.size;
    if (chance(0.4))
        size = Size{std::round(uniform(300, display.visibleFrame.width())), std::round(uniform(200, display.visibleFrame.height()))};
    Rect frame = frameOn(display.visibleFrame, size);
    if (chance(0.1)) frame = frame.offsetBy(std::round(uniform(-400, 400)), std::round(uniform(-200, 200)));
    return E::MoveWindow{window.id, frame};
}

std::optional<sim::Event> StepGenerator::closeWindow(const sim::World& world) {
    const auto windows = ordinaryWindows(world);
    if (windows.size() < 6) return std::nullopt;
    return E::CloseWindow{windows[pick(windows.size())]->id};
}

std::optional<sim::Event> StepGenerator::showDesktop(const sim::World& world) {
    std::vector<const sim::Display*> displays;
    for (const sim::Display& d : world.displays)
        if (d.spaces.size() >= 2) displays.push_back(&d);
    if (displays.empty()) return std::nullopt;
    const sim::Display& display = *displays[pick(displays.size())];
    std::vector<SpaceID> others;
    for (const sim::Space& s : display.spaces)
        if (s.id != display.currentSpace) others.push_back(s.id);
    return E::ShowDesktop{display.id, others[pick(others.size())]};
}

int StepGenerator::actionsBeforeNextEvent() {
    const double roll = uniform(0, 1);
    if (roll < 0.55) return 0;
    if (roll < 0.8) return 1;
    if (roll < 0.93) return 2 + static_cast<int>(pick(2));
    return 4 + static_cast<int>(pick(6));
}

Step StepGenerator::nextAction(const Scene& scene) {
    const auto& windows = scene.inventory.windows();
    const auto& displays = scene.inventory.displays();
    const auto& groups = scene.editor.tileGroups();
    const auto& layouts = scene.layouts;
    const double seconds = chance(0.6) ? 0 : std::round(uniform(0.05, 4) * 100) / 100;
    const auto someWindow = [&] { return windows[pick(windows.size())].id; };
    const auto someWindows = [&] {
        std::vector<WindowID> ids;
        const std::size_t count = std::min(windows.size(), 2 + pick(3));
        while (ids.size() < count) {
            const WindowID id = someWindow();
            if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
        }
        return ids;
    };
    const auto someAxis = [&] { return chance(0.5) ? TileAxis::columns : TileAxis::rows; };

    for (int attempt = 0; attempt < 20; ++attempt) {
        const std::size_t roll = pick(100);
        std::optional<UserAction> action;
        if (roll < 24) {
            if (windows.empty() || displays.empty()) continue;
            const WindowInfo& window = windows[pick(windows.size())];
            const DisplayInfo& display = displays[pick(displays.size())];
            Size size = window.frame.size;
            if (chance(0.4))
                size = Size{std::round(uniform(200, display.visibleFrame.width())),
                            std::round(uniform(150, display.visibleFrame.height()))};
            const int drags = 1 + static_cast<int>(pick(chance(0.3) ? 30 : 6));
            action = A::Place{window.id, frameOn(display.visibleFrame, size), drags};
        } else if (roll < 32) {
            if (windows.size() < 2 || displays.empty()) continue;
            action = A::Tile{someWindows(), displays[pick(displays.size())].id, someAxis()};
        } else if (roll < 37) {
            if (windows.size() < 2) continue;
            action = A::TileSelection{someWindows(), someAxis()};
        } else if (roll < 44) {
            if (groups.empty()) continue;
            const std::size_t group = pick(groups.size());
            action = A::MoveDivider{group, pick(groups[group].windows.size() - 1), uniform(-0.2, 1.2)};
        } else if (roll < 48) {
            if (!groups.empty() && chance(0.7)) {
                const auto& members = groups[pick(groups.size())].windows;
                action = A::Detach{members[pick(members.size())]};
            } else if (!windows.empty()) {
                action = A::Detach{someWindow()};
            }
        } else if (roll < 51) {
            if (windows.empty()) continue;
            action = A::Remove{someWindow()};
        } else if (roll < 59) {
            action = A::UndoEdit{};
        } else if (roll < 67) {
            action = A::Apply{};
        } else if (roll < 70) {
            action = A::UndoApply{};
        } else if (roll < 73) {
            action = A::Save{chance(0.5), chance(0.3), pick(layouts.size())};
        } else if (roll < 78) {
            if (layouts.empty()) continue;
            action = A::Restore{pick(layouts.size()), chance(0.5), chance(0.3)};
        } else if (roll < 81) {
            if (layouts.empty()) continue;
            action = A::Stage{pick(layouts.size())};
        } else if (roll < 83) {
            if (layouts.empty()) continue;
            action = A::ToggleAutoRestore{pick(layouts.size())};
        } else if (roll < 84) {
            if (layouts.size() <= 4) continue;
            action = A::DeleteLayout{4 + pick(layouts.size() - 4)};
        } else if (roll < 86) {
            action = A::NewLayout{};
        } else if (roll < 89) {
            action = A::Revert{};
        } else if (roll < 94) {
            if (windows.empty()) continue;
            const WindowInfo& window = windows[pick(windows.size())];
            const auto display = scene.inventory.displayContaining(window);
            if (!display || display->spaces.size() < 2) continue;
            action = A::SendToDesktop{window.id, display->spaces[pick(display->spaces.size())].id};
        } else if (roll < 96) {
            if (windows.empty()) continue;
            action = A::SendToNewDesktop{someWindow()};
        } else {
            if (windows.size() < 6) continue;
            action = A::CloseWindow{someWindow()};
        }
        if (action) return Step{std::move(*action), seconds};
    }
    return Step{UserAction{A::UndoEdit{}}, seconds};
}

} // namespace qw::soak
