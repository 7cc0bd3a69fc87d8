#pragma once

#include "platform/sim/sim_state.h"
#include "platform/sim/sim_timeline.h"
#include "platform/sim/world_changes.h"

namespace qw::sim {

// Carries out a change that a service makes to the world at the product's request (an app opened,
// a window moved through Accessibility), as the timeline carries out its own events: the window
// index is refreshed, what the change sets off joins the timeline, and its notifications are
// posted. Returns the change's failure, if any; a failed change left the world as it was.
std::optional<Failure> carryOut(SimState& state, TimelinePlayer& timeline, Change change);

} // namespace qw::sim
