#pragma once

#include "platform/main_loop.h"
#include "platform/sim/sim_input.h"
#include "system/inventory.h"
#include "system/simulated_world.h"
#include "system/skylight.h"

#include <gtest/gtest.h>

#include <string_view>

namespace qw::testing {

// A simulated Mac from a world file with what the desktop operations work against: the desktop
// functions and a live Inventory.
class DesktopWorld {
public:
    explicit DesktopWorld(std::string_view json)
        : world(json), skyLight(world.platform().desktopFunctions, world.platform().workspace),
          inventory(world.platform(), skyLight, [](const SpaceInfo&, std::string_view) { return std::nullopt; }) {}

    platform::Platform platform() { return world.platform(); }
    MainLoop& loop() { return world.loop(); }
    sim::SimInput& input() { return world.mac().input(); }

    // Runs the task to its end on world time.
    template <typename T>
    T run(Task<T> task) {
        TaskHandle<T> handle = loop().spawn(std::move(task));
        loop().run();
        EXPECT_TRUE(handle.isDone());
        return *handle.result();
    }

    const sim::Window& window(WindowID id) { return *sim::findWindow(world.world(), id); }
    const sim::Display& display(std::size_t position = 0) { return world.world().displays.at(position); }
    std::optional<DisplayInfo> displayInfo(std::string_view uuid) {
        inventory.refresh();
        for (const DisplayInfo& d : inventory.displays())
            if (d.uuid == uuid) return d;
        return std::nullopt;
    }
    WindowInfo windowInfo(WindowID id) {
        WindowInfo info;
        info.id = id;
        return info;
    }

    SimulatedWorld world;
    SkyLight skyLight;
    Inventory inventory;
};

} // namespace qw::testing
