#pragma once

#include "platform/clock.h"
#include "platform/main_loop.h"
#include "platform/platform.h"
#include "platform/sim/simulated_mac.h"

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

namespace qw::testing {

// A simulated Mac made from a world file, with the main loop it runs on.
class SimulatedWorld {
public:
    explicit SimulatedWorld(std::string_view json) : SimulatedWorld(parse(json)) {}
    explicit SimulatedWorld(sim::World world)
        : loop_(std::make_unique<WorldClock>(world.now)), mac_(std::move(world), loop_) {}

    platform::Platform platform() { return mac_.platform(); }
    MainLoop& loop() { return loop_; }
    sim::SimulatedMac& mac() { return mac_; }
    const sim::World& world() const { return mac_.world(); }
    sim::World& mutableWorld() { return mac_.mutableWorld(); }

    static sim::World parse(std::string_view json) {
        auto world = sim::readWorld(json);
        if (!world) {
            ADD_FAILURE() << "world file refused: " << world.message();
            return sim::World{};
        }
        return std::move(world).value();
    }

private:
    MainLoop loop_;
    sim::SimulatedMac mac_;
};

} // namespace qw::testing
