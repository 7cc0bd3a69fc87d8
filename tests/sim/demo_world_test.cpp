#include "platform/sim/world_checks.h"
#include "platform/window_server.h"
#include "system/simulated_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace qw {
namespace {

using testing::SimulatedWorld;
namespace Keys = platform::WindowKeys;

bool lists(const sim::Window& window, SpaceID space) {
    return std::find(window.spaces.begin(), window.spaces.end(), space) != window.spaces.end();
}

// The demo world is what the product shows without a world file: it has to hold every situation the
// product handles, not just a window or two.
TEST(DemoWorldTest, HoldsARealisticMorningsWork) {
    const sim::World demo = sim::demoWorld();
    EXPECT_EQ(sim::checkWorld(demo), std::nullopt);
    EXPECT_EQ(sim::checkTimeline(demo), std::nullopt);

    ASSERT_EQ(demo.displays.size(), 2u);
    EXPECT_NE(demo.displays[0].frame.size, demo.displays[1].frame.size);

    std::size_t desktops = 0;
    const sim::Space* fullScreen = nullptr;
    for (const auto& d : demo.displays)
        for (const auto& s : d.spaces) {
            if (s.fullscreen)
                fullScreen = &s;
            else
                ++desktops;
        }
    EXPECT_GE(desktops, 4u);
    ASSERT_NE(fullScreen, nullptr);
    const bool fillsItsSpace = std::any_of(demo.windows.begin(), demo.windows.end(), [&](const sim::Window& w) {
        return w.pid == fullScreen->pid && lists(w, fullScreen->id);
    });
    EXPECT_TRUE(fillsItsSpace);

    // Regular apps with ordinary windows.
    std::set<ProcessID> withWindows;
    for (const auto& w : demo.windows) {
        const auto* app = sim::runningApp(demo, w.pid);
        if (w.layer == 0 && app && app->regular) withWindows.insert(w.pid);
    }
    EXPECT_GE(withWindows.size(), 6u);

    // A window on every desktop of its display, a minimized window, a hidden app with a window.
    const auto onEveryDesktop = std::any_of(demo.windows.begin(), demo.windows.end(), [&](const sim::Window& w) {
        const auto* display = sim::displayHolding(demo, w.frame);
        if (w.layer != 0 || !display) return false;
        return std::all_of(display->spaces.begin(), display->spaces.end(),
                           [&](const sim::Space& s) { return s.fullscreen || lists(w, s.id); });
    });
    EXPECT_TRUE(onEveryDesktop);
    EXPECT_TRUE(std::any_of(demo.windows.begin(), demo.windows.end(), [](const auto& w) { return w.minimized; }));
    EXPECT_TRUE(std::any_of(demo.windows.begin(), demo.windows.end(), [&](const sim::Window& w) {
        const auto* app = sim::runningApp(demo, w.pid);
        return app && app->hidden;
    }));
    // Apps to open, one of them a launcher.
    EXPECT_TRUE(std::any_of(demo.apps.begin(), demo.apps.end(), [](const auto& a) { return !a.running; }));
    EXPECT_TRUE(std::any_of(demo.apps.begin(), demo.apps.end(), [](const auto& a) { return a.launches.has_value(); }));
}

TEST(DemoWorldTest, ItsWindowListShowsOnlyWhatIsOnTheShownDesktops) {
    SimulatedWorld world(sim::demoWorld());
    const auto list = world.platform().windowServer.copyWindowList(platform::WindowServer::ListOption::allWindows);
    std::map<std::string, bool> onScreen;
    for (const auto& entry : *list) {
        const auto& d = *entry.asDictionary();
        if (const auto* title = d.at(Keys::name).asString(); title && !title->empty())
            onScreen[*title] = d.contains(Keys::isOnscreen);
    }
    const std::pair<const char*, bool> expected[] = {
        {"Downloads", true},                     // Finder, on the laptop's shown desktop
        {"Messages", true},                      // on every desktop of the laptop
        {"Quiltwright — inventory.cpp", true},   // Xcode, on the external display's shown desktop
        {"Quiltwright — Package.swift", false},  // Xcode, on the external display's other desktop
        {"~ — zsh — 80×24", false},              // Terminal, on a desktop not shown
        {"WWDC Keynote", false},                 // Safari, full screen in a space not shown
        {"Groceries", false},                    // Notes, minimized
        {"Music", false},                        // Music is hidden
    };
    for (const auto& [title, shown] : expected) {
        ASSERT_TRUE(onScreen.contains(title)) << title;
        EXPECT_EQ(onScreen.at(title), shown) << title;
    }
}

} // namespace
} // namespace qw
