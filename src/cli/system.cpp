#include "cli/system.h"

#include "platform/clock.h"

#include <memory>

namespace qw::cli {

System::System(sim::World world)
    : loop_(std::make_unique<WorldClock>(world.now)), mac_(std::move(world), loop_),
      skyLight_(mac_.platform().desktopFunctions, mac_.platform().workspace), names_(mac_.platform().defaults),
      inventory_(mac_.platform(), skyLight_,
                 [this](const SpaceInfo& space, std::string_view displayUUID) {
                     return names_.nickname(space, displayUUID);
                 }) {}

} // namespace qw::cli
