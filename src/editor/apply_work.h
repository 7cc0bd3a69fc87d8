#pragma once

#include "editor/planned_app.h"
#include "model/ids.h"
#include "model/rect.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qw {

// A desktop a window is to be sent to.
struct DesktopSend {
    int index = 0;     // the target desktop's index among its display's spaces
    std::string name;  // its nickname, else its name
    SpaceID space = 0;
    DisplayID display = 0; // the display that has it

    bool operator==(const DesktopSend&) const = default;
};

// A window that is not on the desktop its display shows, to be brought to its target.
struct Fetch {
    WindowID id = 0;
    std::string appName;
    Rect frame;        // the target frame
    SpaceID target = 0; // the desktop it is meant for on the target display
    DisplayID display = 0;

    bool operator==(const Fetch&) const = default;
};

// A planned app to open at a frame.
struct Opening {
    WindowID id = 0;
    PlannedApp app;
    Rect frame;

    bool operator==(const Opening&) const = default;
};

// What the asynchronous part of an apply is left to do.
struct ApplyWork {
    std::vector<std::pair<WindowID, DesktopSend>> sending; // windows already showing, by id
    std::vector<Fetch> fetching;
    std::vector<Opening> opening;                          // by id: the order they were planned
    std::map<WindowID, DesktopSend> sends;                 // every desktop send of the canvas

    bool empty() const { return sending.empty() && fetching.empty() && opening.empty(); }
    bool operator==(const ApplyWork&) const = default;
};

} // namespace qw
