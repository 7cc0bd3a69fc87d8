#pragma once

#include "editor/editor_system.h"
#include "editor/tile_group.h"
#include "model/display_info.h"
#include "model/ids.h"
#include "model/space_info.h"
#include "model/window_info.h"
#include "platform/platform.h"
#include "platform/task.h"
#include "platform/task_handle.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qw {

class Inventory;
class LayoutEditor;
class SkyLight;

// The desktop the canvas shows on each display, by display UUID; a display without an entry shows
// its current desktop. The editor window owns it.
using ShownSpaces = std::map<std::string, SpaceID>;

// Where a window can be sent: the display that holds it and its other ordinary desktops there.
struct DesktopTargets {
    DisplayInfo display;
    std::vector<SpaceInfo> spaces;
    bool operator==(const DesktopTargets&) const = default;
};

// The actions on selected windows that act on the real windows at once (opening a planned app now,
// closing a window, sending one to another desktop), the bookkeeping that ties canvas edits to the
// desktop the canvas shows, and the lookups that decide which actions a window offers.
//
// A value: copies share the editor, the Inventory and the shown desktops, which live as long as the
// app. The actions on real windows start a task on the main loop and return at once; the task
// outlives the value that started it and ends by setting the editor's report. Its handle is
// returned for callers that wait for it (the command line, tests); the app ignores it.
class WindowActions {
public:
    WindowActions(LayoutEditor& editor, EditorSystem system, ShownSpaces& shownSpace)
        : editor_(&editor), inventory_(&system.inventory), shownSpace_(&shownSpace), platform_(system.platform),
          skyLight_(&system.skyLight) {}

    // ---- Desktop bookkeeping ------------------------------------------------------------------------
    // The desktop the canvas shows on the display.
    SpaceID shownSpaceID(const DisplayInfo& display) const;
    // Plans the windows onto the desktop the canvas shows on that display. A recorded desktop that
    // is gone or full screen is forgotten, and the display's current one is used.
    void putOnShownDesktop(const std::vector<WindowID>& ids, const DisplayInfo& display);

    // ---- Lookups ------------------------------------------------------------------------------------
    // The selected windows and planned apps, in the order the Inventory lists them, planned apps last.
    std::vector<WindowInfo> selection() const;
    // None for a planned app, a window that is not movable, on several desktops or on no display.
    std::optional<DesktopTargets> desktopTargets(const WindowInfo& window) const;
    // A hint for the selection bar: that the window's app is hidden.
    std::optional<std::string> fetchNote(const WindowInfo& window) const;

    // ---- Canvas-only actions ------------------------------------------------------------------------
    // Takes the window, or the ⌘-selection it belongs to, off the canvas.
    void remove(const WindowInfo& window);
    // Forgets the window's planned frame; its planned desktop stays.
    void undoMove(const WindowInfo& window);
    // Takes the window out of its tile group.
    void untile(const WindowInfo& window);
    // Tiles the ⌘-selection and plans it onto the desktop the canvas shows on the tiling display.
    void tileSelection(TileAxis axis);
    void deselect();

    // ---- Actions on real windows --------------------------------------------------------------------
    // Raises the window and activates its app.
    void bringToFront(const WindowInfo& window);
    // Opens a planned app now, into its planned frame. Nothing happens for an id without a planned
    // app or without a frame (the handle is then empty).
    TaskHandle<> openNow(const WindowInfo& window);
    // Presses the window's close button, a second time if it is still there after a while.
    TaskHandle<> close(const WindowInfo& window);
    // Carries the window to another desktop of its display.
    TaskHandle<> moveToDesktop(const WindowInfo& window, const SpaceInfo& space, const DisplayInfo& display);
    // Adds a desktop to the display and sends the window there (or every ⌘-selected window on
    // that display, when the window belongs to the ⌘-selection).
    TaskHandle<> moveToNewDesktop(const WindowInfo& window, const DisplayInfo& display);

    LayoutEditor& editor() const { return *editor_; }
    Inventory& inventory() const { return *inventory_; }

private:
    static Task<void> runOpenNow(WindowActions actions, std::string appName, std::string appPath, Rect frame);
    static Task<void> runClose(WindowActions actions, WindowInfo window);
    static Task<void> runMoveToDesktop(WindowActions actions, WindowInfo window, SpaceInfo space, DisplayInfo display);
    static Task<void> runMoveToNewDesktop(WindowActions actions, std::vector<WindowID> ids, DisplayInfo display);

    LayoutEditor* editor_;
    Inventory* inventory_;
    ShownSpaces* shownSpace_;
    platform::Platform platform_;
    const SkyLight* skyLight_;
};

// How texts name a desktop: the user's nickname, else its name.
std::string desktopLabel(const SpaceInfo& space);

} // namespace qw
