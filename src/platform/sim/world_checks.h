#pragma once

#include "model/result.h"
#include "platform/sim/world.h"

#include <optional>
#include <string>
#include <vector>

namespace qw::sim {

// Whether the world could be a real Mac: unique ids, desktops listed once, windows of running apps
// on existing spaces, one main display at the origin, displays that do not overlap, ... The failure
// names the member's path as the world file has it, e.g. "displays[1].currentSpace: ...".
std::optional<Failure> checkWorld(const World& world);

// Plays the timeline on a copy of the world, without the product, and fails when an event does
// not fit the world at its time (a display that is not connected, a window that does not exist).
std::optional<Failure> checkTimeline(const World& world);

// The indexes of the timeline's events that do not fit the world at their time, in order. Such an
// event does nothing when played; a world written while one is pending (the product closed the
// window it names, say) leaves it out, so that the file stays readable.
std::vector<std::size_t> unfitTimelineEvents(const World& world);

// The timeline event's name in world files.
std::string eventName(const Event& event);

} // namespace qw::sim
