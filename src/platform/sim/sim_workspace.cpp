#include "platform/sim/sim_workspace.h"

#include "platform/main_loop.h"
#include "platform/sim/world_mutator.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace qw::sim {

using platform::ActivationPolicy;
using platform::RunningApplication;

namespace {

// The scheme of a URL as URL(string:) would accept it: a letter, then letters, digits, "+", "-", ".".
std::optional<std::string> schemeOf(std::string_view url) {
    const auto colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    const std::string_view scheme = url.substr(0, colon);
    if (!std::isalpha(static_cast<unsigned char>(scheme.front()))) return std::nullopt;
    for (const char c : scheme)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return std::nullopt;
    for (const char c : url)
        if (std::isspace(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) < 0x20) return std::nullopt;
    std::string lower(scheme);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

} // namespace

RunningApplication runningApplicationOf(const App& app) {
    RunningApplication r;
    r.pid = app.pid;
    r.bundleIdentifier = app.bundleID;
    r.localizedName = app.name;
    r.bundlePath = app.path;
    r.activationPolicy = app.regular ? ActivationPolicy::regular : ActivationPolicy::accessory;
    r.isHidden = app.hidden;
    r.launchDate = app.launchDate;
    return r;
}

RunningApplication SimWorkspace::self() const {
    RunningApplication r;
    r.pid = state_.world.processID;
    r.bundleIdentifier = selfBundleID;
    r.localizedName = selfName;
    r.bundlePath = selfPath;
    r.activationPolicy = ActivationPolicy::accessory;
    r.launchDate = state_.start;
    return r;
}

std::vector<RunningApplication> SimWorkspace::runningApplications() {
    std::vector<RunningApplication> list;
    for (const App& app : state_.world.apps)
        if (app.running) list.push_back(runningApplicationOf(app));
    list.push_back(self());
    return list;
}

std::optional<RunningApplication> SimWorkspace::runningApplication(ProcessID pid) {
    if (pid == state_.world.processID) return self();
    const App* app = sim::runningApp(state_.world, pid);
    if (!app) return std::nullopt;
    return runningApplicationOf(*app);
}

bool SimWorkspace::openURL(const std::string& url) {
    static constexpr std::array handled{"x-apple.systempreferences", "http", "https", "mailto"};
    const auto scheme = schemeOf(url);
    if (!scheme || std::find(handled.begin(), handled.end(), *scheme) == handled.end()) return false;
    state_.world.openedURLs.push_back(url);
    return true;
}

void SimWorkspace::openApplication(const std::string& bundlePath, const platform::OpenConfiguration& configuration,
                                   OpenCompletion completion) {
    auto answer = [this, &completion](Result<RunningApplication> result) {
        state_.loop.post([completion = std::move(completion), result = std::move(result)] { completion(result); });
    };
    if (!installedApp(state_.world, bundlePath)) {
        answer(Failure{"The application “" + displayName(bundlePath) + "” can’t be opened because it can’t be found."});
        return;
    }
    if (const auto failure = carryOut(state_, timeline_, launchApp(state_.world, bundlePath, state_.wallNow()))) {
        answer(*failure);
        return;
    }
    const App& app = *installedApp(state_.world, bundlePath);
    if (configuration.activates) activate(app.pid);
    answer(runningApplicationOf(app));
}

bool SimWorkspace::hide(ProcessID pid) {
    App* app = sim::runningApp(state_.world, pid);
    if (!app) return false;
    app->hidden = true;
    return true;
}

bool SimWorkspace::unhide(ProcessID pid) {
    App* app = sim::runningApp(state_.world, pid);
    if (!app) return false;
    app->hidden = false;
    return true;
}

bool SimWorkspace::activate(ProcessID pid) {
    if (!unhide(pid)) return false;
    const std::vector<SpaceID> shown = shownSpaces(state_.world);
    auto& windows = state_.world.windows;
    const App* app = sim::runningApp(state_.world, pid);
    const auto front = std::find_if(windows.begin(), windows.end(),
                                    [&](const Window& w) { return w.pid == pid && isOnScreen(w, app, shown); });
    if (front != windows.end()) {
        std::rotate(windows.begin(), front, std::next(front));
        state_.windowIndex.invalidate();
    }
    return true;
}

std::optional<std::string> SimWorkspace::bundleIdentifier(const std::string& bundlePath) {
    const App* app = installedApp(state_.world, bundlePath);
    return app ? app->bundleID : std::nullopt;
}

} // namespace qw::sim
