// What AppLauncher remembers: the apps it opened lately (for the process's life) and the app each
// launcher turned out to open (in the user defaults), and the key it names apps by.

#include "restore/app_launcher.h"

#include "platform/user_defaults.h"
#include "platform/workspace.h"

namespace qw::AppLauncher {

using platform::PropertyValue;

namespace {

std::map<std::string, WallTime, std::less<>>& recentlyOpenedState() {
    static std::map<std::string, WallTime, std::less<>> opened;
    return opened;
}

// The stored pairs; empty unless the value is a dictionary of strings.
PropertyValue::Dictionary storedPairs(platform::UserDefaults& defaults) {
    const auto stored = defaults.object(platform::DefaultsKeys::launcherApps);
    if (!stored || !stored->isDictionary()) return {};
    const PropertyValue::Dictionary& pairs = *stored->asDictionary();
    for (const auto& [path, key] : pairs)
        if (!key.isString()) return {};
    return pairs;
}

} // namespace

std::string appKey(platform::Workspace& workspace, const std::string& appPath) {
    if (auto identifier = workspace.bundleIdentifier(appPath)) return *identifier;
    std::string name = workspace.displayName(appPath);
    static constexpr std::string_view extension = ".app";
    for (auto at = name.find(extension); at != std::string::npos; at = name.find(extension, at))
        name.erase(at, extension.size());
    return name;
}

bool justOpened(std::string_view appKey, WallTime now) {
    const auto& opened = recentlyOpenedState();
    const auto it = opened.find(appKey);
    return it != opened.end() && now - it->second < Timing::justOpenedFor;
}

const std::map<std::string, WallTime, std::less<>>& recentlyOpened() { return recentlyOpenedState(); }

void forgetRecentlyOpened() { recentlyOpenedState().clear(); }

// Used by open().
void noteOpened(const std::string& appKey, WallTime now) { recentlyOpenedState()[appKey] = now; }

std::optional<std::string> launchedAppKey(platform::UserDefaults& defaults, const std::optional<std::string>& path) {
    if (!path) return std::nullopt;
    const PropertyValue::Dictionary pairs = storedPairs(defaults);
    const auto it = pairs.find(*path);
    if (it == pairs.end()) return std::nullopt;
    return *it->second.asString();
}

void remember(platform::UserDefaults& defaults, const std::string& launcherPath, const std::string& appKey) {
    PropertyValue::Dictionary pairs = storedPairs(defaults);
    pairs[launcherPath] = appKey;
    defaults.set(platform::DefaultsKeys::launcherApps, std::move(pairs));
}

} // namespace qw::AppLauncher
