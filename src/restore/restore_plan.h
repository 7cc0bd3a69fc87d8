#pragma once

#include "model/ids.h"
#include "model/rect.h"

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qw {

// What restoring a saved layout would do, worked out without touching any window.
struct RestorePlan {
    // An app to open, one per app.
    struct Launch {
        std::string app; // the bundle's file URL, held as its path
        std::string name;
        std::optional<std::string> bundleID;
        Rect frame;                     // the target of the saved window that caused the launch
        std::optional<SpaceID> desktop; // where its first window should land; none: the one showing

        bool operator==(const Launch&) const = default;
    };

    std::map<WindowID, Rect> moves;     // the frame each open window must be given
    int inPlace = 0;                    // matched windows already at their target
    std::vector<std::string> notes;     // sentences for the user, in a fixed order
    std::set<WindowID> matched;         // open windows paired with a saved window and taken into the plan
    std::vector<Launch> launches;
    std::map<WindowID, SpaceID> desktops; // the desktop each window must be carried to before it is placed
    // Positions in the layout's windows of the saved windows that a matched window or a launch stands
    // for. The others (a second window of an app to open, a window of a display that is not
    // connected, one left where it is) have nothing on the canvas that could show them.
    std::set<std::size_t> represented;

    bool operator==(const RestorePlan&) const = default;
};

} // namespace qw
