#include "platform/main_loop.h"
#include "platform/workspace.h"
#include "system/simulated_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

namespace qw {
namespace {

using testing::SimulatedWorld;

// Editor is installed, not running, and shows one titled window 2 s after it is asked to open.
// Launcher opens Game instead of showing a window; Game shows its window after 1 s.
constexpr std::string_view installedApps = R"({
  "apps": [
    {"name": "Editor", "bundleID": "com.example.Editor", "path": "/Applications/Editor.app", "launchDelay": 2,
     "opensWindows": [{"title": "Untitled", "frame": [[10, 40], [500, 400]]}]},
    {"name": "Launcher", "path": "/Applications/Launcher.app", "launches": "/Applications/Game.app", "launchDelay": 0.5},
    {"name": "Game", "bundleID": "com.example.Game", "path": "/Applications/Game.app"},
    {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 300, "hidden": true}
  ],
  "windows": [
    {"id": 7, "pid": 300, "title": "Inbox", "frame": [[0, 25], [600, 500]]},
    {"id": 8, "pid": 300, "title": "Draft", "frame": [[0, 25], [600, 500]], "minimized": true}
  ]
})";

class WorkspaceAppsTest : public ::testing::Test {
protected:
    WorkspaceAppsTest() : world(installedApps), workspace(world.platform().workspace) { world.mac().startTimeline(); }

    std::optional<Result<platform::RunningApplication>> open(const std::string& path) {
        std::optional<Result<platform::RunningApplication>> answer;
        workspace.openApplication(path, {}, [&](Result<platform::RunningApplication> r) { answer.emplace(std::move(r)); });
        EXPECT_FALSE(answer) << "told before the request returned";
        world.loop().runFor(Duration::zero());
        return answer;
    }
    std::size_t windowsOf(ProcessID pid) {
        const auto& windows = world.world().windows;
        return std::count_if(windows.begin(), windows.end(), [&](const sim::Window& w) { return w.pid == pid; });
    }

    SimulatedWorld world;
    platform::Workspace& workspace;
};

TEST_F(WorkspaceAppsTest, AnAppOpensAtOnceAndShowsItsWindowsAfterItsLaunchDelay) {
    const auto answer = open("/Applications/Editor.app");
    ASSERT_TRUE(answer && answer->ok());
    const platform::RunningApplication& editor = answer->value();
    EXPECT_EQ(editor.bundleIdentifier, "com.example.Editor");
    EXPECT_EQ(editor.bundlePath, "/Applications/Editor.app");
    EXPECT_EQ(editor.launchDate, world.world().now);
    EXPECT_EQ(windowsOf(editor.pid), 0u);

    world.loop().runFor(fromSeconds(1.9));
    EXPECT_EQ(windowsOf(editor.pid), 0u);
    world.loop().runFor(fromSeconds(0.2));
    ASSERT_EQ(windowsOf(editor.pid), 1u);
    EXPECT_EQ(world.world().windows.front().title, "Untitled");
}

TEST_F(WorkspaceAppsTest, ARunningAppComesForwardAndAMissingBundleFails) {
    const auto mail = open("/Applications/Mail.app");
    ASSERT_TRUE(mail && mail->ok());
    EXPECT_EQ(mail->value().pid, 300);
    EXPECT_FALSE(world.world().apps[3].hidden);
    EXPECT_TRUE(sim::findWindow(world.world(), 8)->minimized); // Inbox is on screen

    // Opened again with nothing on screen, it brings back a minimized window.
    world.mutableWorld().windows[0].minimized = true;
    ASSERT_TRUE(open("/Applications/Mail.app"));
    EXPECT_FALSE(sim::findWindow(world.world(), 7)->minimized);
    EXPECT_TRUE(sim::findWindow(world.world(), 8)->minimized);

    const auto missing = open("/Applications/Nowhere.app");
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->ok());
    EXPECT_THAT(missing->message(), ::testing::HasSubstr("Nowhere.app"));
}

TEST_F(WorkspaceAppsTest, ALauncherOpensItsOtherAppWhoseWindowFollows) {
    const auto launcher = open("/Applications/Launcher.app");
    ASSERT_TRUE(launcher && launcher->ok());
    world.loop().runFor(fromSeconds(0.5));
    const auto game = std::find_if(world.world().apps.begin(), world.world().apps.end(),
                                   [](const sim::App& a) { return a.name == "Game"; });
    ASSERT_TRUE(game->running);
    EXPECT_EQ(windowsOf(launcher->value().pid), 0u);
    world.loop().runFor(fromSeconds(1.0));
    EXPECT_EQ(windowsOf(game->pid), 1u);
}

TEST_F(WorkspaceAppsTest, HidesUnhidesActivatesAndNamesBundles) {
    EXPECT_TRUE(workspace.unhide(300));
    EXPECT_FALSE(workspace.runningApplication(300)->isHidden);
    EXPECT_TRUE(workspace.hide(300));
    EXPECT_TRUE(workspace.runningApplication(300)->isHidden);
    EXPECT_TRUE(workspace.activate(300));
    EXPECT_FALSE(workspace.runningApplication(300)->isHidden);
    EXPECT_FALSE(workspace.hide(4242));

    EXPECT_EQ(workspace.bundleIdentifier("/Applications/Game.app"), "com.example.Game");
    EXPECT_EQ(workspace.bundleIdentifier("/Applications/Launcher.app"), std::nullopt);
    EXPECT_EQ(workspace.displayName("/Applications/Launcher.app"), "Launcher.app");
    EXPECT_EQ(workspace.displayName("/Applications/Launcher.app/"), "Launcher.app");
}

} // namespace
} // namespace qw
