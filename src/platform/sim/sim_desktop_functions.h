#pragma once

#include "platform/desktop_functions.h"
#include "platform/sim/sim_state.h"

namespace qw::sim {

// The window server's private desktop functions on the simulated Mac. The framework loads only from
// its real path and only when the world has the functions; the replies are shaped as macOS shapes
// them: one dictionary per display keyed by its UUID ("Main" when displays share their desktops),
// each space with "id64", "ManagedSpaceID", "uuid" and "type" (4 for full screen, with "pid").
class SimDesktopFunctions final : public platform::DesktopFunctions {
public:
    static constexpr const char* frameworkPath = "/System/Library/PrivateFrameworks/SkyLight.framework/SkyLight";
    static constexpr std::int32_t connection = 0x2b0f;

    explicit SimDesktopFunctions(SimState& state) : state_(state) {}

    bool loadFramework(const std::string& path) override;
    bool hasSymbol(std::string_view name) override;

    std::int32_t mainConnectionID() override;
    // Nothing for a connection other than the main one.
    std::optional<platform::PropertyValue> copyManagedDisplaySpaces(std::int32_t connection) override;
    // The spaces of the given windows, each once, in order. The selector's bits choose shown spaces
    // (1), the others (2), and user spaces (4), which are all there are here.
    std::optional<platform::PropertyValue> copySpacesForWindows(std::int32_t connection, std::int32_t selector,
                                                                const platform::PropertyValue& windowNumbers) override;

private:
    bool available() const { return loaded_ && state_.world.desktopFunctions; }

    SimState& state_;
    bool loaded_ = false;
};

} // namespace qw::sim
