#pragma once

#include "editor/editor_system.h"
#include "editor/layout_editor.h"
#include "platform/main_loop.h"
#include "platform/sim/world.h"
#include "restore/app_launcher.h"
#include "restore/live_world.h"

#include <gtest/gtest.h>

#include <string_view>

namespace qw::testing {

// A simulated Mac from a world file with an editor wired to it as the app wires them.
class EditorWorld {
public:
    explicit EditorWorld(std::string_view json)
        : live(json),
          system{live.world.platform(), live.skyLight, live.inventory,
                 Restorer::Apps{
                     [this](const std::string& path) {
                         return AppLauncher::launchedAppKey(live.world.platform().defaults, path);
                     },
                     [this](const std::string& path) { return sim::installedApp(live.world.world(), path) != nullptr; },
                 }} {
        AppLauncher::forgetRecentlyOpened();
        live.world.mac().startTimeline(); // app launches finish on it
    }

    MainLoop& loop() { return live.world.loop(); }
    const sim::World& world() const { return live.world.world(); }
    const sim::Window& window(WindowID id) const { return *sim::findWindow(world(), id); }
    const sim::App& app(ProcessID pid) const { return *sim::runningApp(world(), pid); }

    // Runs the loop until the asynchronous part of the applies has ended; the world time it took.
    double finish() {
        const Duration start = loop().now();
        loop().runUntil([&] { return !editor.isFinishingApply(); });
        EXPECT_FALSE(editor.isFinishingApply());
        return toSeconds(loop().now() - start);
    }
    const Report& report() const { return *editor.report(); }

    LiveWorld live;
    EditorSystem system;
    LayoutEditor editor;
};

} // namespace qw::testing
