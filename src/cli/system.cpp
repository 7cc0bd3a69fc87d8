#include "cli/system.h"

#include "platform/clock.h"
#include "restore/app_launcher.h"

#include <memory>

namespace qw::cli {

System::System(sim::World world)
    : loop_(std::make_unique<WorldClock>(world.now)), mac_(std::move(world), loop_),
      skyLight_(mac_.platform().desktopFunctions, mac_.platform().workspace), names_(mac_.platform().defaults),
      inventory_(mac_.platform(), skyLight_,
                 [this](const SpaceInfo& space, std::string_view displayUUID) {
                     return names_.nickname(space, displayUUID);
                 }) {}

Restorer::Apps System::restorerApps() {
    return Restorer::Apps{
        [this](const std::string& path) { return AppLauncher::launchedAppKey(mac_.platform().defaults, path); },
        // The simulated Mac's installed applications are its file system's app bundles.
        [this](const std::string& path) { return sim::installedApp(mac_.world(), path) != nullptr; },
    };
}

} // namespace qw::cli
