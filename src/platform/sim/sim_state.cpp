#include "platform/sim/sim_state.h"

#include "platform/main_loop.h"

namespace qw::sim {

SimState::SimState(World w, MainLoop& l) : world(std::move(w)), loop(l), start(world.now), loopStart(l.now()) {}

Duration SimState::elapsed() const { return loop.now() - loopStart; }

Timestamp SimState::wallNow() const { return start + std::chrono::floor<std::chrono::seconds>(elapsed()); }

void SimState::post(const Posting& posting) {
    (posting.centre == Centre::application ? applicationCentre : workspaceCentre).post(posting.notification);
}

} // namespace qw::sim
