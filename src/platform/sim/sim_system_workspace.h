#pragma once

#include "platform/sim/sim_mission_control.h"
#include "platform/workspace.h"

namespace qw::sim {

// NSWorkspace as a process on the simulated Mac sees it: the world's apps (answered by the apps'
// workspace it wraps) together with the system's own window-manager process, which draws Mission
// Control, and the Mission Control app, which shows Mission Control when opened.
class SimSystemWorkspace final : public platform::Workspace {
public:
    SimSystemWorkspace(platform::Workspace& apps, SimMissionControl& missionControl)
        : apps_(apps), missionControl_(missionControl) {}

    std::vector<platform::RunningApplication> runningApplications() override;
    std::optional<platform::RunningApplication> runningApplication(ProcessID pid) override;
    bool openURL(const std::string& url) override { return apps_.openURL(url); }
    void openApplication(const std::string& bundlePath, const platform::OpenConfiguration& configuration,
                         OpenCompletion completion) override;
    bool hide(ProcessID pid) override { return apps_.hide(pid); }
    bool unhide(ProcessID pid) override { return apps_.unhide(pid); }
    bool activate(ProcessID pid) override { return apps_.activate(pid); }
    std::optional<std::string> bundleIdentifier(const std::string& bundlePath) override;
    std::string displayName(const std::string& path) override { return apps_.displayName(path); }

private:
    platform::Workspace& apps_;
    SimMissionControl& missionControl_;
};

} // namespace qw::sim
