#pragma once

#include "platform/screens.h"
#include "platform/sim/sim_state.h"

namespace qw::sim {

// NSScreen on the simulated Mac: one screen per display that has one, the main display's first,
// with frames flipped into AppKit's bottom-left-origin coordinates against the main display's height.
class SimScreens final : public platform::Screens {
public:
    explicit SimScreens(SimState& state) : state_(state) {}
    std::vector<platform::Screen> screens() override;

private:
    SimState& state_;
};

// A global top-left-origin rectangle in AppKit's coordinates, y upward from the bottom of the main
// display, whose height is `mainHeight`.
Rect flipped(const Rect& rect, double mainHeight);

} // namespace qw::sim
