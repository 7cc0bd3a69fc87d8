#include "platform/sim/world_mutator.h"

namespace qw::sim {

std::optional<Failure> carryOut(SimState& state, TimelinePlayer& timeline, Change change) {
    state.windowIndex.invalidate();
    if (!change) return change.failure();
    for (TimelineEvent& next : change->followUps) timeline.add(std::move(next));
    for (const Posting& posting : change->postings) state.post(posting);
    return std::nullopt;
}

} // namespace qw::sim
