#include "platform/sim/sim_system_workspace.h"

namespace qw::sim {

std::vector<platform::RunningApplication> SimSystemWorkspace::runningApplications() {
    std::vector<platform::RunningApplication> list = apps_.runningApplications();
    list.push_back(missionControl_.process());
    return list;
}

std::optional<platform::RunningApplication> SimSystemWorkspace::runningApplication(ProcessID pid) {
    if (pid == missionControl_.pid()) return missionControl_.process();
    return apps_.runningApplication(pid);
}

void SimSystemWorkspace::openApplication(const std::string& bundlePath, const platform::OpenConfiguration& configuration,
                                         OpenCompletion completion) {
    if (bundlePath != SimMissionControl::appPath) {
        apps_.openApplication(bundlePath, configuration, std::move(completion));
        return;
    }
    // The app only tells the window manager to show Mission Control, and quits.
    missionControl_.open();
    platform::RunningApplication app;
    app.pid = missionControl_.pid();
    app.bundleIdentifier = SimMissionControl::appBundleIdentifier;
    app.localizedName = "Mission Control";
    app.bundlePath = bundlePath;
    completion(app);
}

std::optional<std::string> SimSystemWorkspace::bundleIdentifier(const std::string& bundlePath) {
    if (bundlePath == SimMissionControl::appPath) return SimMissionControl::appBundleIdentifier;
    return apps_.bundleIdentifier(bundlePath);
}

} // namespace qw::sim
