#pragma once

#include "platform/sim/sim_state.h"
#include "platform/workspace.h"

namespace qw::sim {

class TimelinePlayer;

// NSWorkspace on the simulated Mac: the running apps (this process among them, as a menu-bar app),
// opening URLs, which are recorded in the world, and opening, hiding and activating apps.
class SimWorkspace final : public platform::Workspace {
public:
    SimWorkspace(SimState& state, TimelinePlayer& timeline) : state_(state), timeline_(timeline) {}

    std::vector<platform::RunningApplication> runningApplications() override;
    std::optional<platform::RunningApplication> runningApplication(ProcessID pid) override;
    // True, and recorded, for URLs the system has a handler for: settings panes, web and mail links.
    bool openURL(const std::string& url) override;

    // An installed app starts at once and shows its windows after its launch delay (a launcher
    // opens its other app then); a running app is unhidden and comes forward. The completion is
    // posted to the loop. A path where no app is installed fails.
    void openApplication(const std::string& bundlePath, const platform::OpenConfiguration& configuration,
                         OpenCompletion completion) override;
    bool hide(ProcessID pid) override;
    bool unhide(ProcessID pid) override;
    // Unhides the app and brings its frontmost window on a shown desktop to the front.
    bool activate(ProcessID pid) override;
    std::optional<std::string> bundleIdentifier(const std::string& bundlePath) override;

private:
    platform::RunningApplication self() const;

    SimState& state_;
    TimelinePlayer& timeline_;
};

// How NSRunningApplication describes a running app of the world.
platform::RunningApplication runningApplicationOf(const App& app);

} // namespace qw::sim
