#pragma once

#include "platform/clock.h"
#include "platform/screen_capture.h"
#include "platform/sim/sim_state.h"

namespace qw::sim {

// Screen capture on the simulated Mac. The permission is the world's `screenRecording`, which a
// request only asks for. Listing the shareable windows and taking a picture each take the system a
// moment of world time; pictures are drawn from the window's title bar as its app lays it out.
class SimScreenCapture final : public platform::ScreenCapture {
public:
    explicit SimScreenCapture(SimState& state) : state_(state) {}
    bool preflightAccess() override;
    bool requestAccess() override;

    Task<std::optional<std::vector<platform::ShareableWindow>>> shareableWindows(ContentOptions options) override;
    Task<std::optional<platform::Picture>> capture(WindowID window, CaptureOptions options) override;

    static constexpr Duration listingTime = std::chrono::milliseconds(20);
    static constexpr Duration captureTime = std::chrono::milliseconds(50);

private:
    SimState& state_;
};

} // namespace qw::sim
