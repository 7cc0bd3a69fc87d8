#pragma once

#include "model/result.h"
#include "platform/sim/world.h"

#include <optional>
#include <string>

namespace qw::sim {

// Whether the world could be a real Mac: unique ids, desktops listed once, windows of running apps
// on existing spaces, one main display at the origin, displays that do not overlap, ... The failure
// names the member's path as the world file has it, e.g. "displays[1].currentSpace: ...".
std::optional<Failure> checkWorld(const World& world);

// Plays the timeline on a copy of the world, without the product, and fails when an event does
// not fit the world at its time (a display that is not connected, a window that does not exist).
std::optional<Failure> checkTimeline(const World& world);

// The timeline event's name in world files.
std::string eventName(const Event& event);

} // namespace qw::sim
