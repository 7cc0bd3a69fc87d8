#include "platform/sim/simulated_mac.h"

#include "platform/sim/sim_desktop_functions.h"
#include "platform/sim/sim_input.h"
#include "platform/sim/sim_login_items.h"
#include "platform/sim/sim_mission_control.h"
#include "platform/sim/sim_accessibility.h"
#include "platform/sim/sim_screen_capture.h"
#include "platform/sim/sim_screens.h"
#include "platform/sim/sim_settings.h"
#include "platform/sim/sim_state.h"
#include "platform/sim/sim_system_workspace.h"
#include "platform/sim/sim_timeline.h"
#include "platform/sim/sim_title_bar_tree.h"
#include "platform/sim/sim_window_server.h"
#include "platform/sim/sim_workspace.h"

namespace qw::sim {

struct SimulatedMac::Services {
    Services(World world, MainLoop& loop)
        : state(std::move(world), loop), windowServer(state), desktopFunctions(state), screens(state),
          workspace(state, timeline), preferences(state), defaults(state), accessibility(state, timeline), screenCapture(state),
          loginItems(state), input(state), timeline(state), titleBars(state), missionControl(state, input),
          systemWorkspace(workspace, missionControl) {
        accessibility.addTree(titleBars);
        accessibility.addTree(missionControl);
    }

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
    SimInput input;
    TimelinePlayer timeline;
    TitleBarTree titleBars;
    SimMissionControl missionControl;
    SimSystemWorkspace systemWorkspace; // what the product sees: the apps and the system's own processes
};

SimulatedMac::SimulatedMac(World world, MainLoop& loop)
    : services_(std::make_unique<Services>(std::move(world), loop)) {}

SimulatedMac::~SimulatedMac() = default;

platform::Platform SimulatedMac::platform() {
    Services& s = *services_;
    return platform::Platform{
        s.state.loop,          s.windowServer,  s.desktopFunctions, s.screens,
        s.systemWorkspace,     s.state.applicationCentre, s.state.workspaceCentre,
        s.preferences,         s.defaults,      s.accessibility,    s.screenCapture,
        s.loginItems,          s.input,         s.state.world.processID,
    };
}

SimInput& SimulatedMac::input() { return services_->input; }

SimMissionControl& SimulatedMac::missionControl() { return services_->missionControl; }

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
