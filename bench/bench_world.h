#pragma once

// The synthetic Macs the benchmarks run on, and what every benchmark reports the same way.
//
// Every benchmark world has the same two displays (a built-in screen with the menu bar and a larger
// display to its right, raised 200 points), twenty running apps, and windows spread round-robin
// over chosen desktops. Each benchmark has a twin, NAME_Platform, that makes the same platform calls
// without our own work; scripts/bench.sh sets the two side by side.

#include "desktops/desktop_names.h"
#include "model/ids.h"
#include "model/saved_layout.h"
#include "platform/main_loop.h"
#include "platform/platform.h"
#include "platform/sim/simulated_mac.h"
#include "platform/sim/world.h"
#include "system/inventory.h"
#include "system/skylight.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace qw::bench {

inline constexpr int appCount = 20;
inline constexpr ProcessID firstAppPID = 100;

// The built-in display (id 1, main, at the origin) and the studio display (id 2) with these spaces.
sim::Display builtInDisplay(std::vector<sim::Space> spaces, SpaceID current);
sim::Display studioDisplay(std::vector<sim::Space> spaces, SpaceID current);

// How the windows are laid over the desktops. Window i (from 0) belongs to app i % appCount and to
// desktops[i % desktops.size()], at a frame on that desktop's display that moves a little with i.
struct WindowSpread {
    std::vector<SpaceID> desktops;
    int minimizedEvery = 0;     // every Nth window is minimized, the first included; 0: none
    int onEveryDesktopEvery = 0; // every Nth window belongs to all of `desktops`; 0: none
};

// The two displays, the twenty apps and `windows` windows.
sim::World world(sim::Display left, sim::Display right, int windows, const WindowSpread& spread);

// Two desktops on each display, the first of each showing, and `windows` windows spread over all
// four: the Mac the planning, capture and store benchmarks run on.
sim::World twoDesktopsEach(int windows);

// Window i's frame on the built-in display or on the studio display.
Rect builtInFrame(int i);
Rect studioFrame(int i);

// A simulated Mac with the live picture of it, wired as the app wires them. The loop runs on world
// time, so that nothing here ever waits in real time.
struct BenchMac {
    explicit BenchMac(sim::World world);
    BenchMac(const BenchMac&) = delete;
    BenchMac& operator=(const BenchMac&) = delete;

    // The platform calls Inventory::refresh() makes, and nothing else: the display list and each
    // display's properties, the screens, the desktops (with the owner of each full-screen space),
    // a nickname lookup per ordinary desktop, the window list, the spaces of every listed window and
    // each owner's running application once.
    void refreshPlatformCalls();

    MainLoop loop;
    sim::SimulatedMac mac;
    platform::Platform platform;
    SkyLight skyLight;
    DesktopNames names;
    Inventory inventory;
};

// `count` saved layouts of `windowsEach` windows each, as a layouts file holds them: each captured
// from a two-display Mac, with its own id, name and stamps and its windows a little apart.
std::vector<SavedLayout> savedLayouts(int count, int windowsEach);

// The case the row stands for, in scripts/bench.sh's table.
void describe(benchmark::State& state, const std::string& text);
// Items per iteration, reported as a rate and as the time per item ("per_item").
void perItem(benchmark::State& state, int items);

} // namespace qw::bench
