#pragma once

namespace qw::platform {

// Screen-capture permission (CGPreflightScreenCaptureAccess and CGRequestScreenCaptureAccess). The
// pictures themselves join this interface with the window previews.
class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;
    virtual bool preflightAccess() = 0; // never prompts
    virtual bool requestAccess() = 0;   // prompts when the user has not decided yet
};

} // namespace qw::platform
