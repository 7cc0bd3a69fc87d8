#pragma once

#include <functional>
#include "model/ids.h"

#include <optional>
#include <string>

namespace qw {

// One desktop (Space) of a display.
struct SpaceInfo {
    SpaceID id = 0;              // 0 when the system did not report one
    std::string uuid;            // empty when not reported
    int index = 0;               // 1-based position in the display's spaces, full-screen ones included
    bool isFullscreen = false;
    std::optional<int> number;   // ordinary desktops only: counted over all displays together
    std::string name;            // "Desktop N", or the full-screen app's name
    std::optional<std::string> nickname; // the user's own name; filled in after reading

    bool operator==(const SpaceInfo&) const = default;
};

} // namespace qw

template <>
struct std::hash<qw::SpaceInfo> {
    std::size_t operator()(const qw::SpaceInfo& s) const noexcept;
};
