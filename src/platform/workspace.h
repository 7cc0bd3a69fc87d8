#pragma once

#include "model/ids.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qw::platform {

enum class ActivationPolicy {
    regular,    // an ordinary app with a Dock icon
    accessory,  // menu-bar extras and the like
    prohibited, // background-only processes
};

// One NSRunningApplication, as read at one moment.
struct RunningApplication {
    ProcessID pid = 0;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> localizedName;
    std::optional<std::string> bundlePath; // the bundle URL's path
    ActivationPolicy activationPolicy = ActivationPolicy::regular;
    bool isHidden = false;
    std::optional<std::chrono::system_clock::time_point> launchDate;

    bool operator==(const RunningApplication&) const = default;
};

// NSWorkspace and NSRunningApplication.
class Workspace {
public:
    virtual ~Workspace() = default;

    virtual std::vector<RunningApplication> runningApplications() = 0;
    virtual std::optional<RunningApplication> runningApplication(ProcessID pid) = 0;
    // Opens a URL with the system (settings panes and the like); false when nothing could open it.
    virtual bool openURL(const std::string& url) = 0;
};

} // namespace qw::platform
