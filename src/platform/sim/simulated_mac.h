#pragma once

#include "model/result.h"
#include "platform/platform.h"
#include "platform/sim/world.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace qw {
class MainLoop;
}

namespace qw::sim {

class SimInput;
class SimMissionControl;

// Reads a world file strictly: an unknown member, a wrong type or an inconsistent world is refused
// with a message naming the member's path (for example "windows[3].frame: ...").
Result<World> readWorld(std::string_view json);
Result<World> readWorldFile(const std::filesystem::path& path);
// The world in the same format, so that another run can continue from it.
std::string writeWorld(const World& world);

// A realistic built-in world, used when no world file is given.
World demoWorld();

// The simulated Mac: one World, and every platform service answering from it as macOS would.
// The loop's clock runs on world time, and the loop outlives the SimulatedMac.
class SimulatedMac {
public:
    SimulatedMac(World world, MainLoop& loop);
    ~SimulatedMac();
    SimulatedMac(const SimulatedMac&) = delete;
    SimulatedMac& operator=(const SimulatedMac&) = delete;

    platform::Platform platform();

    // Schedules the world's timeline on the loop; each event changes the world at its world time
    // and posts the notifications the real system would post.
    void startTimeline();
    // Adds an event `event.at` seconds of world time from now (played once the timeline started).
    void addEvent(TimelineEvent event);

    // The state as of the loop's time: `now` is the wall clock, in whole seconds, and `timeline`
    // the events still to come, counted from it; writeWorld(world()) lets another run continue.
    const World& world() const;
    // For tests and the services of later additions: change the world directly. Take it afresh for
    // each change (the window index is refreshed on each call). Its timeline is the played one's
    // copy; add events with addEvent.
    World& mutableWorld();
    // The pointer, button and keys, with what the product has posted to them.
    SimInput& input();
    // Mission Control, drawn by the system's window manager.
    SimMissionControl& missionControl();

private:
    struct Services;
    std::unique_ptr<Services> services_;
};

} // namespace qw::sim
