#pragma once

#include "model/ids.h"
#include "model/rect.h"
#include "platform/property_value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qw::platform {

// Core Graphics' view of the displays and the window list.
class WindowServer {
public:
    virtual ~WindowServer() = default;

    // The active displays, at most maxDisplays of them, in the system's order; absent when the call fails.
    virtual std::optional<std::vector<DisplayID>> activeDisplayList(std::uint32_t maxDisplays) = 0;
    // Bounds in global top-left-origin coordinates; the null rectangle for an unknown display.
    virtual Rect displayBounds(DisplayID display) = 0;
    // The display's UUID string; absent when the system gives none.
    virtual std::optional<std::string> displayUUID(DisplayID display) = 0;
    virtual std::uint32_t displayVendorNumber(DisplayID display) = 0;
    virtual std::uint32_t displayModelNumber(DisplayID display) = 0;
    virtual std::uint32_t displaySerialNumber(DisplayID display) = 0;
    virtual bool displayIsMain(DisplayID display) = 0;

    enum class ListOption {
        allWindows,                 // on screen or not
        allExcludingDesktopElements // the same, less desktop icons and wallpaper
    };
    // The window list, front to back: one dictionary per window with the members "kCGWindowNumber",
    // "kCGWindowLayer", "kCGWindowOwnerPID", "kCGWindowOwnerName", "kCGWindowName", "kCGWindowBounds"
    // (a dictionary with "X", "Y", "Width", "Height"), "kCGWindowAlpha", "kCGWindowIsOnscreen", any of
    // which may be missing. Absent when the call returns nothing.
    virtual std::optional<PropertyValue::Array> copyWindowList(ListOption option) = 0;
};

// Members of a window-list entry.
namespace WindowKeys {
inline constexpr const char* number = "kCGWindowNumber";
inline constexpr const char* layer = "kCGWindowLayer";
inline constexpr const char* ownerPID = "kCGWindowOwnerPID";
inline constexpr const char* ownerName = "kCGWindowOwnerName";
inline constexpr const char* name = "kCGWindowName";
inline constexpr const char* bounds = "kCGWindowBounds";
inline constexpr const char* alpha = "kCGWindowAlpha";
inline constexpr const char* isOnscreen = "kCGWindowIsOnscreen";
} // namespace WindowKeys

// The rectangle of a "kCGWindowBounds" dictionary, as CGRectMakeWithDictionaryRepresentation reads it:
// absent unless all four members are numbers.
std::optional<Rect> rectFromBoundsDictionary(const PropertyValue& bounds);
PropertyValue boundsDictionary(const Rect& rect);

} // namespace qw::platform
