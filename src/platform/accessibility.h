#pragma once

namespace qw::platform {

// The Accessibility interface (ApplicationServices). Trust is all the state tracking needs; the
// element operations that move and inspect other apps' windows join this interface with them.
class Accessibility {
public:
    virtual ~Accessibility() = default;
    // AXIsProcessTrusted: never prompts.
    virtual bool isProcessTrusted() = 0;
    // AXIsProcessTrustedWithOptions with "AXTrustedCheckOptionPrompt": shows the system's prompt
    // and lists the app in the privacy settings when `prompt` is true.
    virtual bool isProcessTrustedWithOptions(bool prompt) = 0;
};

} // namespace qw::platform
