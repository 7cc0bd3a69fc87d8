#pragma once

// What must hold of any text given as a world file: it is refused with a message, or it is read into
// a world that comes back equal from being written and read again, and on which a simulated Mac
// answers. The fuzz target and the replay of its seeds both run inputs through worldFileFault.

#include "platform/clock.h"
#include "platform/main_loop.h"
#include "platform/sim/simulated_mac.h"
#include "platform/window_server.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qw::fuzzing {

struct WorldFileRun {
    bool accepted = false;
    std::string message;              // why it was refused
    std::optional<std::string> fault; // what went wrong, when something did
};

inline WorldFileRun runWorldFile(std::string_view text) {
    WorldFileRun run;
    auto world = sim::readWorld(text);
    if (!world) {
        run.message = world.message();
        if (run.message.empty()) run.fault = "refused without a message";
        return run;
    }
    run.accepted = true;

    const std::string written = sim::writeWorld(*world);
    const auto again = sim::readWorld(written);
    if (!again) {
        run.fault = "the written world is refused: " + again.message() + "\n" + written;
        return run;
    }
    if (*again != *world) {
        run.fault = "the world read back differs from the one written:\n" + written + "read back as\n" +
                    sim::writeWorld(*again);
        return run;
    }

    // The window server answers from it: every display listed, every window in the list.
    const std::size_t windows = world->windows.size(), displays = world->displays.size();
    MainLoop loop(std::make_unique<WorldClock>(world->now));
    sim::SimulatedMac mac(std::move(world).value(), loop);
    auto& server = mac.platform().windowServer;
    const auto list = server.copyWindowList(platform::WindowServer::ListOption::allWindows);
    if (!list || list->size() != windows) run.fault = "the window list does not hold every window";
    const auto ids = server.activeDisplayList(64);
    if (!ids || ids->size() != std::min<std::size_t>(displays, 64)) run.fault = "the display list does not hold every display";
    return run;
}

} // namespace qw::fuzzing
