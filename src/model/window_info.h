#pragma once

#include <functional>
#include "model/ids.h"
#include "model/rect.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qw {

// One window of a regular application as last read.
struct WindowInfo {
    WindowID id = 0;
    ProcessID pid = 0;
    std::string appName;
    std::optional<std::string> bundleID;
    std::string title;          // empty when the window has none or the system withholds it
    Rect frame;
    std::vector<SpaceID> spaceIDs; // several for a window shown on every desktop
    bool isOnScreen = false;
    std::int64_t zOrder = 0;    // position in the front-to-back window list; 0 is frontmost

    // Bundle identifier, else name: how saved and listed windows are matched to apps.
    const std::string& appKey() const { return bundleID ? *bundleID : appName; }

    bool operator==(const WindowInfo&) const = default;
};

} // namespace qw

template <>
struct std::hash<qw::WindowInfo> {
    std::size_t operator()(const qw::WindowInfo& w) const noexcept;
};
