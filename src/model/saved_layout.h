#pragma once

#include <functional>
#include "model/display_key.h"
#include "model/rect.h"
#include "model/timestamp.h"
#include "model/uuid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qw {

// A display as remembered in a layout.
struct SavedDisplay {
    std::string uuid; // DisplayInfo::uuid at capture time; SavedWindow::display refers to it
    DisplayKey key;
    std::string name;
    Rect frame;
    Rect visibleFrame;

    bool operator==(const SavedDisplay&) const = default;
};

// A window as remembered in a layout.
struct SavedWindow {
    std::optional<std::string> bundleID;
    std::string appName;
    std::string title;   // empty for an app only planned on the canvas
    std::string display; // uuid of its SavedDisplay
    Rect frame;
    std::optional<int> spaceIndex; // 1-based among all of the display's spaces
    std::int64_t zOrder = 0;       // smaller is nearer the front
    std::optional<std::string> appPath;
    std::optional<bool> keepsDesktop;  // true when the user chose the desktop; never stored as false
    std::optional<std::string> spaceUUID;
    std::optional<int> desktopNumber;  // 1-based among the ordinary desktops of its own display

    const std::string& appKey() const { return bundleID ? *bundleID : appName; }

    bool operator==(const SavedWindow&) const = default;
};

// A named arrangement of windows on a set of monitors.
struct SavedLayout {
    Uuid id;
    std::string name;
    Timestamp created;
    Timestamp updated;
    std::vector<SavedDisplay> displays; // left edge ascending, as the Inventory lists them
    std::vector<SavedWindow> windows;   // front to back, then apps planned on the canvas
    bool autoRestore = false;

    // Made on the same set of monitors, counting repeats: the sorted display keys are equal.
    bool hasSameDisplays(const SavedLayout& other) const;

    bool operator==(const SavedLayout&) const = default;
};

} // namespace qw

template <>
struct std::hash<qw::SavedDisplay> {
    std::size_t operator()(const qw::SavedDisplay& d) const noexcept;
};
template <>
struct std::hash<qw::SavedWindow> {
    std::size_t operator()(const qw::SavedWindow& w) const noexcept;
};
template <>
struct std::hash<qw::SavedLayout> {
    std::size_t operator()(const qw::SavedLayout& l) const noexcept;
};
