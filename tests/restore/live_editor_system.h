#pragma once

#include "editor/editor_system.h"
#include "platform/sim/world.h"
#include "restore/app_launcher.h"
#include "restore/live_world.h"

namespace qw::testing {

// What the editor's operations work through, on a live simulated Mac: its installed apps are the
// app bundles planning may open.
inline EditorSystem editorSystem(LiveWorld& live) {
    auto& defaults = live.world.platform().defaults;
    return EditorSystem{
        live.world.platform(), live.skyLight, live.inventory,
        Restorer::Apps{
            [&defaults](const std::string& path) { return AppLauncher::launchedAppKey(defaults, path); },
            [&live](const std::string& path) { return sim::installedApp(live.world.world(), path) != nullptr; }}};
}

} // namespace qw::testing
