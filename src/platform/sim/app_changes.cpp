#include "platform/sim/world_changes.h"

#include <algorithm>

namespace qw::sim {

namespace {

// The members NSWorkspace's launch and terminate notifications carry.
platform::PropertyValue::Dictionary applicationInfo(const App& app) {
    platform::PropertyValue::Dictionary info{
        {"pid", app.pid}, {"NSApplicationName", app.name}, {"NSApplicationPath", app.path}};
    if (app.bundleID) info.emplace("NSApplicationBundleIdentifier", *app.bundleID);
    return info;
}

std::string pidText(ProcessID pid) { return std::to_string(pid) + " is not the pid of a running app"; }

// Where the system puts a new window that does not say: centred on the main display's visible frame.
Rect placedFrame(const World& world) {
    const Display* main = mainDisplay(world);
    if (!main) return Rect(0, 0, defaultOpenedWindowSize.width, defaultOpenedWindowSize.height);
    const Rect& area = main->visibleFrame;
    return Rect(area.midX() - defaultOpenedWindowSize.width / 2, area.midY() - defaultOpenedWindowSize.height / 2,
                defaultOpenedWindowSize.width, defaultOpenedWindowSize.height);
}

// An app opened again with none of its windows on screen brings back its first minimized one, as
// AppKit's answer to a reopen request does.
void reopen(World& world, const App& app) {
    const std::vector<SpaceID> shown = shownSpaces(world);
    for (const Window& w : world.windows)
        if (w.pid == app.pid && isOnScreen(w, &app, shown)) return;
    for (Window& w : world.windows) {
        if (w.pid == app.pid && w.minimized) {
            w.minimized = false;
            return;
        }
    }
}

} // namespace

void Effects::add(Effects&& other) {
    for (auto& p : other.postings) postings.push_back(std::move(p));
    for (auto& f : other.followUps) followUps.push_back(std::move(f));
}

ProcessID allocatePID(World& world) {
    ProcessID highest = std::max(world.lastPID, world.processID);
    for (const App& app : world.apps)
        if (app.running) highest = std::max(highest, app.pid);
    world.lastPID = highest + 1;
    return world.lastPID;
}

WindowID allocateWindowID(World& world) {
    WindowID highest = world.lastWindowID;
    for (const Window& w : world.windows) highest = std::max(highest, w.id);
    world.lastWindowID = highest + 1;
    return world.lastWindowID;
}

Change launchApp(World& world, const std::string& path, Timestamp now) {
    const auto it = std::find_if(world.apps.begin(), world.apps.end(), [&](const App& a) { return a.path == path; });
    if (it == world.apps.end()) return Failure{"no app is installed at " + path};
    Effects effects;
    if (it->running) { // opening a running app brings it forward
        it->hidden = false;
        reopen(world, *it);
        return effects;
    }
    const ProcessID pid = allocatePID(world);
    App& app = *it;
    app.running = true;
    app.pid = pid;
    app.hidden = false;
    app.launchDate = now;
    effects.postings.push_back(
        Posting{Centre::workspace, {platform::Notifications::didLaunchApplication, applicationInfo(app)}});
    effects.followUps.push_back(TimelineEvent{app.launchDelay, events::FinishLaunch{pid}});
    return effects;
}

Change finishLaunch(World& world, ProcessID pid, Timestamp now) {
    const App* app = runningApp(world, pid);
    if (!app) return Failure{pidText(pid)};
    if (app->launches) return launchApp(world, *app->launches, now);

    // Shown in order, the first one in front.
    std::vector<Window> opened;
    for (const OpenedWindow& spec : app->opensWindows) {
        Window w;
        w.id = allocateWindowID(world);
        w.pid = pid;
        w.title = spec.title;
        w.frame = spec.frame.value_or(placedFrame(world));
        if (const SpaceID space = spaceForNewWindow(world, w.frame)) w.spaces.push_back(space);
        opened.push_back(std::move(w));
    }
    world.windows.insert(world.windows.begin(), opened.begin(), opened.end());
    return Effects{};
}

Change quitApp(World& world, ProcessID pid) {
    App* app = runningApp(world, pid);
    if (!app) return Failure{pidText(pid)};
    Effects effects;
    effects.postings.push_back(
        Posting{Centre::workspace, {platform::Notifications::didTerminateApplication, applicationInfo(*app)}});
    app->running = false;
    app->pid = 0;
    app->hidden = false;
    app->launchDate.reset();

    std::erase_if(world.windows, [&](const Window& w) { return w.pid == pid; });
    std::vector<SpaceID> ownSpaces;
    for (const Display& d : world.displays)
        for (const Space& s : d.spaces)
            if (s.fullscreen && s.pid == pid) ownSpaces.push_back(s.id);
    for (const SpaceID space : ownSpaces) removeFullscreenSpace(world, space, effects);
    return effects;
}

Change sleep(World& world) {
    world.asleep = true;
    Effects effects;
    effects.postings.push_back(Posting{Centre::workspace, {platform::Notifications::willSleep, {}}});
    return effects;
}

Change wake(World& world) {
    world.asleep = false;
    Effects effects;
    effects.postings.push_back(Posting{Centre::workspace, {platform::Notifications::didWake, {}}});
    return effects;
}

} // namespace qw::sim
