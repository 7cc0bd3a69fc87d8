#pragma once

#include "model/ids.h"
#include "model/rect.h"
#include "platform/task.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qw::platform {

// One picture: 8 bits per channel in the order red, green, blue, alpha (alpha premultiplied), rows of
// width × 4 bytes, row 0 the top of the picture.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    struct Pixel {
        std::uint8_t red = 0, green = 0, blue = 0, alpha = 0;
        bool operator==(const Pixel&) const = default;
    };
    // The pixel at column x of row y; both must lie inside the picture.
    Pixel at(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
        return Pixel{rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
    }

    bool operator==(const Picture&) const = default;
};

// A window that screen capture can take a picture of (SCWindow).
struct ShareableWindow {
    WindowID windowID = 0;
    ProcessID pid = 0;
    Rect frame;
    std::optional<std::string> title;
    bool isOnScreen = false;

    bool operator==(const ShareableWindow&) const = default;
};

// Screen capture: the permission (CGPreflightScreenCaptureAccess, CGRequestScreenCaptureAccess) and
// ScreenCaptureKit's shareable content and single-window screenshots. Listing and capturing take
// the system a moment; both suspend the calling task until the system answers.
class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;
    virtual bool preflightAccess() = 0; // never prompts
    virtual bool requestAccess() = 0;   // prompts when the user has not decided yet

    // SCShareableContent: the windows that can be captured; absent when the system refuses (no
    // permission) or fails.
    struct ContentOptions {
        bool excludingDesktopWindows = true;
        bool onScreenWindowsOnly = true;
    };
    virtual Task<std::optional<std::vector<ShareableWindow>>> shareableWindows(ContentOptions options) = 0;

    // One picture of one window alone, wherever its desktop (SCContentFilter(desktopIndependentWindow:)
    // and SCScreenshotManager.captureImage), `width` × `height` pixels. Absent when it fails.
    struct CaptureOptions {
        int width = 0;
        int height = 0;
        bool showsCursor = false;
        bool ignoresShadow = true;
    };
    virtual Task<std::optional<Picture>> capture(WindowID window, CaptureOptions options) = 0;
};

} // namespace qw::platform
