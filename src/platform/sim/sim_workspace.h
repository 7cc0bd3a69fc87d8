#pragma once

#include "platform/sim/sim_state.h"
#include "platform/workspace.h"

namespace qw::sim {

// NSWorkspace on the simulated Mac: the running apps (this process among them, as a menu-bar app)
// and opening URLs, which are recorded in the world.
class SimWorkspace final : public platform::Workspace {
public:
    explicit SimWorkspace(SimState& state) : state_(state) {}

    std::vector<platform::RunningApplication> runningApplications() override;
    std::optional<platform::RunningApplication> runningApplication(ProcessID pid) override;
    // True, and recorded, for URLs the system has a handler for: settings panes, web and mail links.
    bool openURL(const std::string& url) override;

private:
    platform::RunningApplication self() const;

    SimState& state_;
};

// How NSRunningApplication describes a running app of the world.
platform::RunningApplication runningApplicationOf(const App& app);

} // namespace qw::sim
