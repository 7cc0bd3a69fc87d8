#pragma once

#include "model/rect.h"
#include "platform/property_value.h"

#include <string>
#include <vector>

namespace qw::platform {

// One NSScreen. Its frames are in AppKit's bottom-left-origin coordinates, y upward.
struct Screen {
    PropertyValue::Dictionary deviceDescription; // holds "NSScreenNumber", the display id
    Rect frame;
    Rect visibleFrame;
    std::string localizedName;

    bool operator==(const Screen&) const = default;
};

class Screens {
public:
    virtual ~Screens() = default;
    // The screens, the one with the menu bar first.
    virtual std::vector<Screen> screens() = 0;
};

} // namespace qw::platform
