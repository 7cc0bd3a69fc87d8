#pragma once

#include "model/saved_layout.h"
#include "platform/sim/world.h"
#include "soak/soak_steps.h"

#include <cstdint>
#include <map>
#include <random>
#include <vector>

namespace qw {
class Inventory;
class LayoutEditor;
} // namespace qw

namespace qw::soak {

// The displays that may join besides the world's own: a projector and a studio display.
std::vector<sim::Display> extraDisplays();

// What the generator looks at to pick a step that fits: the Mac as it is, and what the user sees.
struct Scene {
    const sim::World& world;
    const Inventory& inventory;
    const LayoutEditor& editor;
    const std::vector<SavedLayout>& layouts;
};

// A seeded stream of steps that fit the world as it stands: the same seed against the same world
// gives the same steps. It keeps the world within sensible bounds: at most four displays (those it
// has seen, reconnecting with their desktops), at least one, apps relaunched after they quit, and
// enough windows left to work with.
class StepGenerator {
public:
    StepGenerator(std::uint64_t seed, const sim::World& initial);

    // A timeline event of the simulated Mac: displays connecting and leaving or rearranged, sleep
    // and wake, apps launching and quitting, windows moved and closed, desktops switched.
    Step nextEvent(const sim::World& world);
    // How many of the user's actions come before the next event; often none.
    int actionsBeforeNextEvent();
    Step nextAction(const Scene& scene);

private:
    double uniform(double low, double high);
    std::size_t pick(std::size_t count);
    bool chance(double probability);
    double settleTime();

    std::optional<sim::Event> connect(const sim::World& world);
    std::optional<sim::Event> disconnect(const sim::World& world);
    std::optional<sim::Event> rearrange(const sim::World& world);
    std::optional<sim::Event> launch(const sim::World& world);
    std::optional<sim::Event> quit(const sim::World& world);
    std::optional<sim::Event> moveWindow(const sim::World& world);
    std::optional<sim::Event> closeWindow(const sim::World& world);
    std::optional<sim::Event> showDesktop(const sim::World& world);
    Rect frameOn(const Rect& area, const Size& size);

    std::mt19937_64 random_;
    // Every display that may be connected, as first seen, with the desktops it had when it left.
    std::vector<sim::Display> catalogue_;
    SpaceID nextSpace_ = 1000;
};

} // namespace qw::soak
