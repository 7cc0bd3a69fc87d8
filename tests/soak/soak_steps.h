#pragma once

#include "editor/tile_group.h"
#include "model/ids.h"
#include "model/rect.h"
#include "platform/sim/world.h"

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

// What happens in a soak: the simulated Mac's own events, played through its timeline, and what a
// user does in the editor between them. Each names what it acts on; a user's action whose window
// or layout has gone by the time it runs does nothing.
namespace qw::soak {

namespace actions {
// Drags a window on the canvas: `drags` moves, each a few points on from the last, ending at `frame`.
struct Place {
    WindowID window = 0;
    Rect frame;
    int drags = 1;
};
struct Tile {
    std::vector<WindowID> windows;
    DisplayID display = 0;
    TileAxis axis = TileAxis::columns;
};
// ⌘-selects the windows and tiles them through the selection bar.
struct TileSelection {
    std::vector<WindowID> windows;
    TileAxis axis = TileAxis::columns;
};
// Drags a divider of the group at `group` in the editor's list to `fraction` of its display.
struct MoveDivider {
    std::size_t group = 0;
    std::size_t after = 0;
    double fraction = 0.5;
};
struct Detach {
    WindowID window = 0;
};
struct Remove {
    WindowID window = 0;
};
struct UndoEdit {};
struct Apply {};
struct UndoApply {};
// Saves the screen, or the canvas, as a new layout (or, with many saved, again into the layout at `layout`).
struct Save {
    bool fromCanvas = false;
    bool autoRestore = false;
    std::size_t layout = 0;
};
struct Restore {
    std::size_t layout = 0;
    bool openApps = false;
    bool hideOthers = false;
};
struct Stage {
    std::size_t layout = 0;
};
struct ToggleAutoRestore {
    std::size_t layout = 0;
};
struct DeleteLayout {
    std::size_t layout = 0;
};
struct NewLayout {};
struct Revert {};
struct SendToDesktop {
    WindowID window = 0;
    SpaceID space = 0;
};
struct SendToNewDesktop {
    WindowID window = 0;
};
struct CloseWindow {
    WindowID window = 0;
};
} // namespace actions

using UserAction = std::variant<actions::Place, actions::Tile, actions::TileSelection, actions::MoveDivider,
                                actions::Detach, actions::Remove, actions::UndoEdit, actions::Apply,
                                actions::UndoApply, actions::Save, actions::Restore, actions::Stage,
                                actions::ToggleAutoRestore, actions::DeleteLayout, actions::NewLayout,
                                actions::Revert, actions::SendToDesktop, actions::SendToNewDesktop,
                                actions::CloseWindow>;

// One step of a soak, and how long the loop then runs in world time.
struct Step {
    std::variant<sim::Event, UserAction> what;
    double seconds = 0;
};

// One line naming the step and its arguments, for logs and findings.
std::string describe(const Step& step);

} // namespace qw::soak
