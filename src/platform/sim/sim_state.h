#pragma once

#include "platform/clock.h"
#include "platform/notification_center.h"
#include "platform/sim/window_index.h"
#include "platform/sim/world.h"
#include "platform/sim/world_changes.h"

namespace qw {
class MainLoop;
}

namespace qw::sim {

// What every service of one simulated Mac shares: the world, the loop it lives on, the two
// notification centres, and the window index.
class SimState {
public:
    SimState(World world, MainLoop& loop);

    World world;
    MainLoop& loop;
    platform::NotificationCenter applicationCentre;
    platform::NotificationCenter workspaceCentre;
    WindowIndex windowIndex;

    // When the world started, on the wall clock and on the loop.
    const Timestamp start;
    const Duration loopStart;

    // World time since the start, and the wall clock now, in whole seconds.
    Duration elapsed() const;
    Timestamp wallNow() const;

    // The window with that number, in constant time.
    const Window* window(WindowID id) { return windowIndex.find(world, id); }
    // Tells observers on the right centre.
    void post(const Posting& posting);
};

// How this process appears among the running applications: a menu-bar app.
inline constexpr const char* selfName = "Quiltwright";
inline constexpr const char* selfBundleID = "com.quiltwright.Quiltwright";
inline constexpr const char* selfPath = "/Applications/Quiltwright.app";

} // namespace qw::sim
