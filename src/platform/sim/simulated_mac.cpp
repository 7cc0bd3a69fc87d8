#include "platform/sim/simulated_mac.h"

#include "platform/sim/sim_desktop_functions.h"
#include "platform/sim/sim_login_items.h"
#include "platform/sim/sim_permissions.h"
#include "platform/sim/sim_screens.h"
#include "platform/sim/sim_settings.h"
#include "platform/sim/sim_state.h"
#include "platform/sim/sim_timeline.h"
#include "platform/sim/sim_window_server.h"
#include "platform/sim/sim_workspace.h"

namespace qw::sim {

struct SimulatedMac::Services {
    Services(World world, MainLoop& loop)
        : state(std::move(world), loop), windowServer(state), desktopFunctions(state), screens(state),
          workspace(state), preferences(state), defaults(state), accessibility(state), screenCapture(state),
          loginItems(state), timeline(state) {}

    SimState state;
    SimWindowServer windowServer;
    SimDesktopFunctions desktopFunctions;
    SimScreens screens;
    SimWorkspace workspace;
    SimPreferenceDomains preferences;
    SimUserDefaults defaults;
    SimAccessibility accessibility;
    SimScreenCapture screenCapture;
    SimLoginItems loginItems;
    TimelinePlayer timeline;
};

SimulatedMac::SimulatedMac(World world, MainLoop& loop)
    : services_(std::make_unique<Services>(std::move(world), loop)) {}

SimulatedMac::~SimulatedMac() = default;

platform::Platform SimulatedMac::platform() {
    Services& s = *services_;
    return platform::Platform{
        s.state.loop,          s.windowServer,  s.desktopFunctions, s.screens,
        s.workspace,           s.state.applicationCentre, s.state.workspaceCentre,
        s.preferences,         s.defaults,      s.accessibility,    s.screenCapture,
        s.loginItems,          s.state.world.processID,
    };
}

void SimulatedMac::startTimeline() { services_->timeline.start(); }

void SimulatedMac::addEvent(TimelineEvent event) { services_->timeline.add(std::move(event)); }

const World& SimulatedMac::world() const {
    services_->timeline.syncWorld();
    return services_->state.world;
}

World& SimulatedMac::mutableWorld() {
    services_->timeline.syncWorld();
    services_->state.windowIndex.invalidate();
    return services_->state.world;
}

} // namespace qw::sim
