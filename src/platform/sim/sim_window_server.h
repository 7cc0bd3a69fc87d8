#pragma once

#include "platform/sim/sim_state.h"
#include "platform/window_server.h"

namespace qw::sim {

// Core Graphics on the simulated Mac: the active displays and the window list.
class SimWindowServer final : public platform::WindowServer {
public:
    explicit SimWindowServer(SimState& state) : state_(state) {}

    std::optional<std::vector<DisplayID>> activeDisplayList(std::uint32_t maxDisplays) override;
    Rect displayBounds(DisplayID display) override;
    std::optional<std::string> displayUUID(DisplayID display) override;
    std::uint32_t displayVendorNumber(DisplayID display) override;
    std::uint32_t displayModelNumber(DisplayID display) override;
    std::uint32_t displaySerialNumber(DisplayID display) override;
    bool displayIsMain(DisplayID display) override;

    // Front to back. As on macOS: "kCGWindowIsOnscreen" is present only for windows on screen, and
    // "kCGWindowName" of other processes' windows only with the screen-recording permission.
    std::optional<platform::PropertyValue::Array> copyWindowList(ListOption option) override;

private:
    SimState& state_;
};

} // namespace qw::sim
