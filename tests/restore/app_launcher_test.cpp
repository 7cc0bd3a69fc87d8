#include "restore/app_launcher.h"

#include "platform/main_loop.h"
#include "platform/user_defaults.h"
#include "platform/workspace.h"
#include "system/inventory.h"
#include "system/simulated_world.h"
#include "system/skylight.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace qw {
namespace {

using AppLauncher::Failed;
using AppLauncher::NoWindow;
using AppLauncher::Outcome;
using AppLauncher::Placed;
using platform::PropertyValue;
using testing::SimulatedWorld;

const Rect target(200, 150, 600, 500);

// One display showing desktop 11, and the apps given.
std::string worldWith(const std::string& apps, const std::string& windows = "") {
    return R"({"displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]],
                             "spaces": [{"id": 11}, {"id": 12}], "currentSpace": 11}],
               "apps": [)" + apps + R"(], "windows": [)" + windows + "]}";
}

// An app that shows one window 1 s after it is asked to open.
std::string app(const std::string& name, const std::string& more = "") {
    return R"({"name": ")" + name + R"(", "bundleID": "com.example.)" + name + R"(", "path": "/Applications/)" +
           name + R"(.app")" + (more.empty() ? "" : ", " + more) + "}";
}

class AppLauncherTest : public ::testing::Test {
protected:
    void SetUp() override { AppLauncher::forgetRecentlyOpened(); }

    void load(const std::string& json) {
        inventory.reset();
        skyLight.reset();
        world.emplace(json);
        world->mac().startTimeline();
        skyLight.emplace(world->platform().desktopFunctions, world->platform().workspace);
        inventory.emplace(world->platform(), *skyLight, [](const SpaceInfo&, std::string_view) { return std::nullopt; });
    }

    // Opens the app and runs the world until the outcome is in; `seconds` is the world time it took.
    Outcome open(const std::string& path, const Rect& frame = target) {
        const Duration start = world->loop().now();
        auto task = world->loop().spawn(AppLauncher::open(world->platform(), path, frame, *inventory));
        world->loop().runUntil([&] { return task.isDone(); });
        seconds = toSeconds(world->loop().now() - start);
        EXPECT_TRUE(task.isDone());
        return task.isDone() ? *task.result() : Outcome{Failed{"never finished"}};
    }

    const sim::Window* windowOf(const std::string& appName) {
        for (const sim::App& a : world->world().apps)
            if (a.name == appName && a.running)
                for (const sim::Window& w : world->world().windows)
                    if (w.pid == a.pid) return &w;
        return nullptr;
    }

    std::optional<SimulatedWorld> world;
    std::optional<SkyLight> skyLight;
    std::optional<Inventory> inventory;
    double seconds = 0;
};

TEST_F(AppLauncherTest, OpensAnAppWaitsForItsWindowAndPlacesIt) {
    load(worldWith(app("Editor")));
    const Outcome outcome = open("/Applications/Editor.app");

    const auto* placed = std::get_if<Placed>(&outcome);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->window.frame, target);
    EXPECT_EQ(placed->window.appName, "Editor");
    EXPECT_EQ(placed->note, std::nullopt);
    EXPECT_EQ(windowOf("Editor")->frame, target);
    // Seen at the fourth search (1 s), settled for 0.7 s, checked 1 s after the placement.
    EXPECT_DOUBLE_EQ(seconds, 1.0 + 0.7 + 1.0);
    EXPECT_TRUE(AppLauncher::justOpened("com.example.Editor", world->loop().wallTime()));
}

TEST_F(AppLauncherTest, ARunningAppsExistingWindowQualifiesAtOnce) {
    load(worldWith(app("Mail", R"("pid": 300, "hidden": true)"),
                   R"({"id": 7, "pid": 300, "title": "Inbox", "frame": [[0, 25], [600, 500]], "spaces": [11]})"));
    const Outcome outcome = open("/Applications/Mail.app");
    ASSERT_TRUE(std::holds_alternative<Placed>(outcome));
    EXPECT_EQ(std::get<Placed>(outcome).window.id, 7u);
    EXPECT_DOUBLE_EQ(seconds, 0.25 + 0.7 + 1.0);
    EXPECT_FALSE(world->world().apps[0].hidden);
}

TEST_F(AppLauncherTest, ChoosesATitledWindowOverALargerUntitledOne) {
    load(worldWith(app("Editor", R"("opensWindows": [{"frame": [[0, 25], [1000, 800]]},
                                                     {"title": "Document", "frame": [[50, 50], [300, 200]]}])")));
    const Outcome outcome = open("/Applications/Editor.app");
    ASSERT_TRUE(std::holds_alternative<Placed>(outcome));
    EXPECT_EQ(std::get<Placed>(outcome).window.title, "Document");
}

TEST_F(AppLauncherTest, ALauncherWaitsThreeSecondsForItsOtherAppAndRemembersThePair) {
    load(worldWith(R"({"name": "Launcher", "path": "/Applications/Launcher.app", "launches": "/Applications/Game.app",
                       "launchDelay": 0.5}, )" +
                   app("Game")));
    const Outcome outcome = open("/Applications/Launcher.app");

    ASSERT_TRUE(std::holds_alternative<Placed>(outcome));
    EXPECT_EQ(std::get<Placed>(outcome).window.appName, "Game");
    // Game's window is there at 1.5 s, but another app's window counts only after 3 s: 3.25 s.
    EXPECT_DOUBLE_EQ(seconds, 3.25 + 0.7 + 1.0);
    EXPECT_EQ(AppLauncher::launchedAppKey(world->platform().defaults, "/Applications/Launcher.app"), "com.example.Game");
    EXPECT_EQ(world->world().defaults.at("launcherApps"),
              PropertyValue(PropertyValue::Dictionary{{"/Applications/Launcher.app", "com.example.Game"}}));
}

TEST_F(AppLauncherTest, AnOtherAppThatLaunchedBeforeTheRequestDoesNotCount) {
    // Clock shows no window. Old has run since long before; its window, minimized when the request
    // is made (so not listed then), comes back at 2 s: a new window, but not of an app the request
    // could have started.
    load(worldWith(app("Clock", R"("opensWindows": [])") + ", " +
                       app("Old", R"("pid": 300, "launchDate": "2020-01-01T00:00:00Z")"),
                   R"({"id": 7, "pid": 300, "frame": [[0, 25], [600, 500]], "spaces": [11], "minimized": true})"));
    world->loop().after(std::chrono::seconds(2), [&] { world->mutableWorld().windows[0].minimized = false; });
    EXPECT_EQ(open("/Applications/Clock.app"), Outcome{NoWindow{"It didn't show a window to place"}});
    EXPECT_DOUBLE_EQ(seconds, 80 * 0.25);

    // The same window of an app launched just before the request counts once 3 s have passed.
    load(worldWith(app("Clock", R"("opensWindows": [])") + ", " + app("Recent", R"("pid": 300)"),
                   R"({"id": 7, "pid": 300, "frame": [[0, 25], [600, 500]], "spaces": [11], "minimized": true})"));
    world->loop().after(std::chrono::seconds(2), [&] { world->mutableWorld().windows[0].minimized = false; });
    const Outcome outcome = open("/Applications/Clock.app");
    ASSERT_TRUE(std::holds_alternative<Placed>(outcome));
    EXPECT_EQ(std::get<Placed>(outcome).window.id, 7u);
}

TEST_F(AppLauncherTest, AWindowThatKeepsMovingBackIsPlacedThreeTimes) {
    load(worldWith(app("Stubborn", R"("snapsBack": true)")));
    const Outcome outcome = open("/Applications/Stubborn.app");
    EXPECT_EQ(outcome, Outcome{Failed{"It kept moving its window back to where it wanted it"}});
    EXPECT_DOUBLE_EQ(seconds, 1.0 + 0.7 + 3 * 1.0);
    EXPECT_NE(windowOf("Stubborn")->frame, target);
}

TEST_F(AppLauncherTest, ASizeThatDoesNotHoldBecomesANote) {
    load(worldWith(app("Small", R"("maxSize": [500.9, 450])")));
    const Outcome outcome = open("/Applications/Small.app");
    ASSERT_TRUE(std::holds_alternative<Placed>(outcome));
    EXPECT_EQ(std::get<Placed>(outcome).note, "Small kept a size of 500×450");
}

TEST_F(AppLauncherTest, FailuresAndMissingWindowsAreReportedInTheirOwnWords) {
    load(worldWith(app("Refuser", R"("refusesMove": -25204)") + ", " + app("Shy", R"("opensWindows": [])") + ", " +
                   app("Brief")));
    EXPECT_EQ(open("/Applications/Nowhere.app"), Outcome{Failed{"macOS couldn't open it"}});
    EXPECT_EQ(seconds, 0);
    EXPECT_EQ(open("/Applications/Refuser.app"), Outcome{Failed{"Refuser refused the move (app not responding)"}});
    EXPECT_EQ(open("/Applications/Shy.app"), Outcome{NoWindow{"It didn't show a window to place"}});

    // Brief's window closes while the placement is being checked.
    const WindowID next = world->world().lastWindowID + 1;
    world->mac().addEvent(sim::TimelineEvent{2.0, sim::events::CloseWindow{next}});
    EXPECT_EQ(open("/Applications/Brief.app"), Outcome{NoWindow{"Its window closed"}});
}

TEST_F(AppLauncherTest, JustOpenedLastsTwentySecondsFromTheFinish) {
    load(worldWith(app("Shy", R"("opensWindows": [])")));
    EXPECT_FALSE(AppLauncher::justOpened("com.example.Shy", world->loop().wallTime()));
    open("/Applications/Shy.app"); // 20 s of searching
    const WallTime finished = world->loop().wallTime();
    EXPECT_TRUE(AppLauncher::justOpened("com.example.Shy", finished + std::chrono::seconds(19)));
    EXPECT_FALSE(AppLauncher::justOpened("com.example.Shy", finished + std::chrono::seconds(21)));
}

TEST(AppLauncherKeyTest, NamesAnAppByBundleIdentifierElseByDisplayNameWithoutDotApp) {
    SimulatedWorld world(worldWith(app("Editor") + R"(, {"name": "Foo", "path": "/Applications/Foo.app"})"));
    auto& workspace = world.platform().workspace;
    EXPECT_EQ(AppLauncher::appKey(workspace, "/Applications/Editor.app"), "com.example.Editor");
    EXPECT_EQ(AppLauncher::appKey(workspace, "/Applications/Foo.app"), "Foo");
    EXPECT_EQ(AppLauncher::appKey(workspace, "/Applications/My.app.app"), "My");
}

TEST(AppLauncherPairsTest, AnUnreadableStoreCountsAsEmptyAndIsReplacedOnTheNextWrite) {
    SimulatedWorld world(R"({"defaults": {"launcherApps": {"/Applications/A.app": 3}}})");
    auto& defaults = world.platform().defaults;
    EXPECT_EQ(AppLauncher::launchedAppKey(defaults, std::nullopt), std::nullopt);
    EXPECT_EQ(AppLauncher::launchedAppKey(defaults, "/Applications/A.app"), std::nullopt);

    AppLauncher::remember(defaults, "/Applications/B.app", "com.example.B");
    AppLauncher::remember(defaults, "/Applications/C.app", "C");
    EXPECT_EQ(AppLauncher::launchedAppKey(defaults, "/Applications/B.app"), "com.example.B");
    EXPECT_EQ(AppLauncher::launchedAppKey(defaults, "/Applications/C.app"), "C");
    EXPECT_EQ(AppLauncher::launchedAppKey(defaults, "/Applications/A.app"), std::nullopt);
}

} // namespace
} // namespace qw
