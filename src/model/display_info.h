#pragma once

#include <functional>
#include "model/display_key.h"
#include "model/ids.h"
#include "model/rect.h"
#include "model/space_info.h"

#include <optional>
#include <string>
#include <vector>

namespace qw {

// One connected display as last read.
struct DisplayInfo {
    DisplayID id = 0;        // valid only while the display stays connected
    std::string uuid;        // the identity saved in layouts; empty when the system reports none
    DisplayKey key;
    std::string name;
    Rect frame;
    Rect visibleFrame;       // without menu bar and Dock, top-left-origin like frame
    bool isMain = false;
    std::vector<SpaceInfo> spaces; // Mission Control order
    SpaceID currentSpaceID = 0;    // 0 when the system does not report it

    // The first space whose id is currentSpaceID.
    std::optional<SpaceInfo> currentSpace() const;

    bool operator==(const DisplayInfo&) const = default;
};

} // namespace qw

template <>
struct std::hash<qw::DisplayInfo> {
    std::size_t operator()(const qw::DisplayInfo& d) const noexcept;
};
