#pragma once

#include "editor/edit_history.h"
#include "editor/report.h"
#include "editor/tile_group.h"
#include "model/ids.h"
#include "model/rect.h"
#include "platform/sim/world.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qw {
class LayoutStore;
}

// The invariants the soak holds the headless app to after every event. Each check returns the
// sentence that says what broke, or none when all is well.
namespace qw::soak {

using Finding = std::optional<std::string>;

// The layouts file on disk decodes, and holds exactly the store's layouts (unless the store knows
// its last write failed, in which case it says so through its problem).
Finding checkLayoutsFile(const LayoutStore& store);

// The one-at-a-time flags and the operations that may hold them, as seen between two events.
struct BusyState {
    bool spaceMoverBusy = false;      // SpaceMover's flag
    bool desktopManagerBusy = false;  // DesktopManager's flag
    bool finishingApply = false;      // the editor's asynchronous part of an apply is running
    bool fullRestoreScheduled = false; // the automatic restorer waits for displays to settle
    std::size_t appRestoresScheduled = 0;
    bool actionsRunning = false;      // a window action the user started (send, close, ...) is running
    // The loop has run every posted callback and every timer and has nothing left: every
    // operation has ended.
    bool idle = false;
};
// A flag is set only while an operation that takes it is running: SpaceMover's while an apply
// finishes or a window action runs, DesktopManager's while a window action runs; once the loop is
// idle, nothing at all is set or scheduled.
Finding checkBusyFlags(const BusyState& state);

// The canvas's undo stack stays within its bound.
Finding checkHistory(const EditHistory& history);

// Every tile group has two or more distinct windows, one share each, the shares positive and
// adding up to 1; no window is in two groups.
Finding checkTileGroups(const std::vector<TileGroup>& groups);

// Which windows changed (frame, desktops, or came into being) and when: sampled from the
// simulated Mac before every loop turn and whenever a report appears, so that a report can be
// held against what really happened since its operation began.
class MoveLedger {
public:
    explicit MoveLedger(const sim::World& world);

    // A new loop turn (or a user's action) begins: what changed before it is stamped with the turn
    // that just ended.
    void beginTurn();
    // Stamps what changed since the last sample with the current turn.
    void sample();
    std::uint64_t turn() const { return turn_; }
    // The windows that changed in turn `since` or later.
    std::size_t changedSince(std::uint64_t since) const;
    std::vector<WindowID> windowsChangedSince(std::uint64_t since) const;

private:
    struct WindowState {
        Rect frame;
        std::vector<SpaceID> spaces;
        bool operator==(const WindowState&) const = default;
    };

    const sim::World& world_;
    std::map<WindowID, WindowState> last_;
    std::map<WindowID, std::uint64_t> changedAt_;
    std::uint64_t turn_ = 0;
};

// A report that says it moved `report.moved` windows when only `changed` windows changed in the
// meantime claims moves that did not happen.
Finding checkReportMoves(const Report& report, std::size_t changed);

} // namespace qw::soak
