#pragma once

#include "platform/accessibility.h"
#include "platform/screen_capture.h"
#include "platform/sim/sim_state.h"

namespace qw::sim {

// The Accessibility trust of the simulated Mac. Asking with the prompt shows it (the world counts
// it) but grants nothing: only the user grants, in the settings.
class SimAccessibility final : public platform::Accessibility {
public:
    explicit SimAccessibility(SimState& state) : state_(state) {}
    bool isProcessTrusted() override;
    bool isProcessTrustedWithOptions(bool prompt) override;

private:
    SimState& state_;
};

// The screen-capture permission, which a request likewise only asks for.
class SimScreenCapture final : public platform::ScreenCapture {
public:
    explicit SimScreenCapture(SimState& state) : state_(state) {}
    bool preflightAccess() override;
    bool requestAccess() override;

private:
    SimState& state_;
};

} // namespace qw::sim
