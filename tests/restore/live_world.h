#pragma once

#include "desktops/desktop_names.h"
#include "model/saved_layout.h"
#include "system/inventory.h"
#include "system/simulated_world.h"
#include "system/skylight.h"

#include <string_view>

namespace qw::testing {

// A simulated Mac with the live picture of it, wired as the app wires them.
class LiveWorld {
public:
    explicit LiveWorld(std::string_view json)
        : world(json),
          skyLight(world.platform().desktopFunctions, world.platform().workspace),
          names(world.platform().defaults),
          inventory(world.platform(), skyLight,
                    [this](const SpaceInfo& space, std::string_view uuid) { return names.nickname(space, uuid); }) {}

    // A saved display that pairs with the connected display at `index`.
    SavedDisplay saved(std::size_t index, std::string name = "") const {
        const auto& d = inventory.displays().at(index);
        return {d.uuid, d.key, name.empty() ? d.name : name, d.frame, d.visibleFrame};
    }

    SimulatedWorld world;
    SkyLight skyLight;
    DesktopNames names;
    Inventory inventory;
};

} // namespace qw::testing
