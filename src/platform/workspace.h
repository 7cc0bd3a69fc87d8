#pragma once

#include "model/ids.h"
#include "model/result.h"

#include <chrono>
#include <functional>
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

// NSWorkspace.OpenConfiguration, as far as the product sets it.
struct OpenConfiguration {
    bool activates = true;
    bool operator==(const OpenConfiguration&) const = default;
};

// NSWorkspace and NSRunningApplication.
//
// The operations past openURL have answers that stand for a system that cannot do them, so that a
// backend without apps need not spell them out.
class Workspace {
public:
    // Told once, on the main loop, of the application that was opened (for one already running,
    // that one), or of the system's error. It may be told before openApplication returns.
    using OpenCompletion = std::function<void(Result<RunningApplication>)>;

    virtual ~Workspace() = default;

    virtual std::vector<RunningApplication> runningApplications() = 0;
    virtual std::optional<RunningApplication> runningApplication(ProcessID pid) = 0;
    // Opens a URL with the system (settings panes and the like); false when nothing could open it.
    virtual bool openURL(const std::string& url) = 0;

    // openApplication(at:configuration:completionHandler:): opens the app bundle at `bundlePath`;
    // a running app comes forward instead.
    virtual void openApplication(const std::string& bundlePath, const OpenConfiguration& configuration,
                                 OpenCompletion completion);
    // NSRunningApplication's hide(), unhide() and activate(options: []): false when there is no such
    // running app or it refused.
    virtual bool hide(ProcessID pid);
    virtual bool unhide(ProcessID pid);
    virtual bool activate(ProcessID pid);
    // Bundle(url:)?.bundleIdentifier: none when there is no bundle there or it has no identifier.
    virtual std::optional<std::string> bundleIdentifier(const std::string& bundlePath);
    // FileManager.displayName(atPath:): the name the Finder shows for the item (for a bundle, its
    // file name with the ".app" extension), or the last path component when there is no such item.
    virtual std::string displayName(const std::string& path);
};

// The last component of a path, as NSString.lastPathComponent reads it ("/" for the root).
std::string lastPathComponent(const std::string& path);

} // namespace qw::platform
