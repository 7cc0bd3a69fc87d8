#pragma once

#include "editor/planned_app.h"
#include "editor/tile_group.h"
#include "model/ids.h"
#include "model/rect.h"

#include <map>
#include <set>
#include <vector>

namespace qw {

using FrameMap = std::map<WindowID, Rect>;
using DesktopMap = std::map<WindowID, SpaceID>;
using PlannedAppMap = std::map<WindowID, PlannedApp>;

// A copy of everything a canvas edit can change: one entry of the edit history.
struct EditState {
    FrameMap pending;
    std::set<WindowID> placed;
    DesktopMap desktops;
    PlannedAppMap plannedApps;
    std::vector<TileGroup> tileGroups;
    bool arranging = false;

    bool operator==(const EditState&) const = default;
};

// What decides whether a previewed layout was edited.
struct Snapshot {
    FrameMap pending;
    std::set<WindowID> placed;
    std::set<WindowID> planned; // the planned apps' ids
    DesktopMap desktops;

    bool operator==(const Snapshot&) const = default;
};

} // namespace qw
