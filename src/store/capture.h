#pragma once

#include "model/display_info.h"
#include "model/ids.h"
#include "model/rect.h"
#include "model/saved_layout.h"
#include "model/timestamp.h"
#include "model/uuid.h"
#include "model/window_info.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qw {

class Inventory;
class LayoutStore;

namespace platform {
class Workspace;
}

// What capture reads from the editor's canvas. The editor fills it in (LayoutEditor::canvasContents);
// it is a plain description so that the store, which captures, needs nothing of the editor, which
// itself builds on the store.
struct CanvasContents {
    std::map<WindowID, Rect> pending;                // frames the user gave windows on the canvas
    std::map<WindowID, std::string> plannedAppPaths; // apps placed without being open: their bundle paths
    std::vector<WindowInfo> plannedWindows;          // those apps as window records
    std::map<WindowID, SpaceID> desktops;            // desktops the user chose on the canvas
    bool arranging = false;                          // Arrange mode: only `placed` make up the layout
    std::set<WindowID> placed;
    // Saved windows of the layout being edited that nothing on the canvas could show (a second
    // window of an app that is not running, one whose display is not connected): written back
    // unchanged after the canvas's windows, with the saved displays they refer to.
    std::vector<SavedWindow> unshownWindows;
    std::vector<SavedDisplay> unshownDisplays;

    bool operator==(const CanvasContents&) const = default;
};

// Turns what is on screen, or on the canvas, into a layout.
namespace Capture {

// The bundle path of the running app with a process id, if it has one.
using AppPathLookup = std::function<std::optional<std::string>(ProcessID)>;

// The workspace's answer, asking about each process once per lookup object.
AppPathLookup bundlePaths(platform::Workspace& workspace);

// A new layout of the Inventory's windows, or of the canvas when one is given. Stores nothing: it
// gets a fresh id, `now` as its creation and update stamp, and automatic restore off.
SavedLayout capture(const std::string& name, const Inventory& inventory, const CanvasContents* canvas,
                    const AppPathLookup& appPath, Timestamp now);

// Captures, appends the layout to the store and, when asked, marks it for automatic restore
// (which unmarks the other layouts of the same monitors). Returns the captured layout.
SavedLayout saveCurrent(LayoutStore& store, const std::string& name, const Inventory& inventory,
                        const CanvasContents* canvas, const AppPathLookup& appPath, bool autoRestore);

// Captures afresh into the layout with the id, keeping its id, name, creation date, place in the
// list and automatic-restore flag. When the flag is kept on, the other layouts of the newly
// captured monitors lose theirs, so that one set of monitors never has two automatic layouts.
// Returns the updated layout; none, and nothing changes, when no layout has the id.
std::optional<SavedLayout> updateToCurrent(LayoutStore& store, const Uuid& id, const Inventory& inventory,
                                           const CanvasContents* canvas, const AppPathLookup& appPath);

} // namespace Capture

} // namespace qw
