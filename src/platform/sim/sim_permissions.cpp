#include "platform/sim/sim_permissions.h"

namespace qw::sim {

bool SimAccessibility::isProcessTrusted() { return state_.world.accessibility; }

bool SimAccessibility::isProcessTrustedWithOptions(bool prompt) {
    // The system prompts only a process it does not trust yet.
    if (prompt && !state_.world.accessibility) ++state_.world.accessibilityPrompts;
    return state_.world.accessibility;
}

bool SimScreenCapture::preflightAccess() { return state_.world.screenRecording; }

bool SimScreenCapture::requestAccess() {
    if (!state_.world.screenRecording) ++state_.world.screenCaptureRequests;
    return state_.world.screenRecording;
}

} // namespace qw::sim
