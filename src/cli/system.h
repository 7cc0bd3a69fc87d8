#pragma once

#include "desktops/desktop_names.h"
#include "editor/editor_system.h"
#include "platform/main_loop.h"
#include "platform/platform.h"
#include "platform/sim/simulated_mac.h"
#include "system/inventory.h"
#include "system/skylight.h"

namespace qw::cli {

// What a command works against: the simulated Mac (of --world, else the built-in demo world), the
// loop it runs on in world time, and the live picture of it, wired as the app wires them. Made once
// per run; commands that need no system never create one.
class System {
public:
    explicit System(sim::World world);
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    MainLoop& loop() { return loop_; }
    sim::SimulatedMac& mac() { return mac_; }
    platform::Platform platform() { return mac_.platform(); }
    const SkyLight& skyLight() const { return skyLight_; }
    DesktopNames& desktopNames() { return names_; }
    Inventory& inventory() { return inventory_; }
    // What planning asks beyond the Inventory: the launcher pairs, and which apps are installed.
    Restorer::Apps restorerApps();
    // What the editor works with: this system's services and the planner's questions.
    EditorSystem editorSystem() { return EditorSystem{platform(), skyLight_, inventory_, restorerApps()}; }

private:
    MainLoop loop_;
    sim::SimulatedMac mac_;
    SkyLight skyLight_;
    DesktopNames names_;
    Inventory inventory_;
};

} // namespace qw::cli
