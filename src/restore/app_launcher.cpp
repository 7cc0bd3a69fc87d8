#include "restore/app_launcher.h"

#include "platform/handover.h"
#include "platform/main_loop.h"
#include "platform/workspace.h"
#include "restore/window_mover.h"
#include "system/inventory.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

namespace qw::AppLauncher {

namespace {

// What tells the window the app showed from the windows that were there before.
struct Search {
    ProcessID launched = 0;
    bool wasRunning = false;         // the app ran before the request: its old windows count too
    std::set<WindowID> before;       // the windows listed before the request
    WallTime launchedNoEarlier;      // other apps must have launched since
    Duration requestReturned;        // on the loop's clock
};

// The path with "." and ".." resolved and no trailing separator, as URL.standardized compares.
std::string standardized(const std::string& path) {
    std::string normal = std::filesystem::path(path).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return normal;
}

// The first running app with this bundle, by path, else by bundle identifier.
std::optional<platform::RunningApplication> runningInstance(platform::Workspace& workspace, const std::string& appPath) {
    const auto running = workspace.runningApplications();
    const std::string wanted = standardized(appPath);
    for (const auto& app : running)
        if (app.bundlePath && standardized(*app.bundlePath) == wanted) return app;
    const auto identifier = workspace.bundleIdentifier(appPath);
    if (!identifier) return std::nullopt;
    for (const auto& app : running)
        if (app.bundleIdentifier == identifier) return app;
    return std::nullopt;
}

// Titled beats untitled, then the larger area, then the frontmost.
std::optional<WindowInfo> best(const std::vector<WindowInfo>& candidates) {
    const WindowInfo* chosen = nullptr;
    for (const WindowInfo& w : candidates) {
        if (!chosen) {
            chosen = &w;
            continue;
        }
        const bool titled = !w.title.empty(), chosenTitled = !chosen->title.empty();
        if (titled != chosenTitled) {
            if (titled) chosen = &w;
            continue;
        }
        if (w.frame.area() > chosen->frame.area()) chosen = &w;
    }
    return chosen ? std::optional(*chosen) : std::nullopt;
}

// The window the app showed, from the freshly refreshed Inventory.
std::optional<WindowInfo> mainWindow(platform::Platform platform, const Inventory& inventory, const Search& search) {
    std::vector<WindowInfo> candidates;
    for (const WindowInfo& w : inventory.windows())
        if (w.pid == search.launched && (search.wasRunning || !search.before.contains(w.id))) candidates.push_back(w);

    // A launcher's real app shows up as another process, started after the request.
    if (candidates.empty() && platform.loop.now() - search.requestReturned > Timing::otherAppsAfter) {
        for (const WindowInfo& w : inventory.windows()) {
            if (w.pid == search.launched || search.before.contains(w.id)) continue;
            const auto app = platform.workspace.runningApplication(w.pid);
            if (app && app->launchDate && *app->launchDate >= search.launchedNoEarlier) candidates.push_back(w);
        }
    }
    std::erase_if(candidates, [&](const WindowInfo& w) { return !inventory.isReachable(w); });
    return best(candidates);
}

std::string wholePoints(double value) {
    const double whole = std::trunc(value);
    return std::isfinite(whole) ? std::to_string(static_cast<long long>(whole)) : "?";
}

Placed placed(const WindowInfo& window, const Rect& frame) {
    if (std::fabs(window.frame.width() - frame.width()) <= placementTolerance &&
        std::fabs(window.frame.height() - frame.height()) <= placementTolerance)
        return Placed{window, std::nullopt};
    return Placed{window, window.appName + " kept a size of " + wholePoints(window.frame.width()) + "×" +
                              wholePoints(window.frame.height())};
}

// Steps 2 on of open(): everything after the bookkeeping.
Task<Outcome> openAndPlace(platform::Platform platform, std::string appPath, Rect frame, Inventory& inventory) {
    Search search;
    for (const WindowInfo& w : inventory.windows()) search.before.insert(w.id);
    search.launchedNoEarlier = platform.loop.wallTime() - Timing::launchDateSlack;

    const auto instance = runningInstance(platform.workspace, appPath);
    if (instance) platform.workspace.unhide(instance->pid);
    search.wasRunning = instance.has_value();

    Handover<Result<platform::RunningApplication>> opened;
    platform.workspace.openApplication(appPath, platform::OpenConfiguration{.activates = true}, opened.receiver());
    const Result<platform::RunningApplication> launched = co_await opened;
    if (!launched) co_return Failed{"macOS couldn't open it"};
    search.launched = launched->pid;
    search.requestReturned = platform.loop.now();

    std::optional<WindowInfo> window;
    for (int i = 0; i < Timing::searches && !window; ++i) {
        co_await platform.loop.sleep(Timing::betweenSearches);
        inventory.refresh();
        window = mainWindow(platform, inventory, search);
    }
    if (!window) co_return NoWindow{"It didn't show a window to place"};

    // Apps often replace a first window (a splash, a restored document) within a moment.
    co_await platform.loop.sleep(Timing::settling);
    inventory.refresh();
    if (auto settled = mainWindow(platform, inventory, search)) window = std::move(settled);

    if (window->pid != search.launched) remember(platform.defaults, appPath, window->appKey());

    for (int placement = 1;; ++placement) {
        const WindowMover::Outcome moved = WindowMover::move(platform.accessibility, *window, frame);
        if (const auto* failed = std::get_if<WindowMover::Failed>(&moved)) co_return Failed{failed->sentence};
        co_await platform.loop.sleep(Timing::afterPlacement);
        inventory.refresh();
        auto reread = inventory.window(window->id);
        if (!reread) reread = mainWindow(platform, inventory, search);
        if (!reread) co_return NoWindow{"Its window closed"};
        window = std::move(reread);

        if (std::fabs(window->frame.minX() - frame.minX()) <= placementTolerance &&
            std::fabs(window->frame.minY() - frame.minY()) <= placementTolerance)
            co_return placed(*window, frame);
        if (placement == Timing::placements) co_return Failed{"It kept moving its window back to where it wanted it"};
    }
}

} // namespace

Task<Outcome> open(platform::Platform platform, std::string appPath, Rect frame, Inventory& inventory) {
    const std::string key = appKey(platform.workspace, appPath);
    noteOpened(key, platform.loop.wallTime());
    Outcome outcome = co_await openAndPlace(platform, appPath, frame, inventory);
    // So that the launch stays "just opened" for a while after the open has finished.
    noteOpened(key, platform.loop.wallTime());
    co_return outcome;
}

} // namespace qw::AppLauncher
