// Undo Apply: the frames the last apply changed go back, the apps it hid come back and the windows
// it minimized are restored. Windows moved by the asynchronous part are not recorded, so they stay.
#include "editor/layout_editor.h"

#include "platform/main_loop.h"
#include "platform/workspace.h"
#include "restore/window_mover.h"
#include "system/inventory.h"

#include <chrono>

namespace qw {

namespace {
using namespace std::chrono_literals;
// Unhidden and unminimized windows need a moment before they can be read and moved.
constexpr Duration afterBringingBack = 300ms;
} // namespace

void LayoutEditor::undo(EditorSystem& system) {
    platform::Platform platform = system.platform;
    for (const ProcessID pid : undoHiddenApps()) platform.workspace.unhide(pid);
    for (const auto& [pid, window] : undoMinimized())
        (void)WindowMover::setMinimized(platform.accessibility, pid, window, false);
    const bool broughtBack = !undoHiddenApps().empty() || !undoMinimized().empty();
    if (broughtBack) platform.loop.holdUp(afterBringingBack);

    system.inventory.refresh();
    std::map<WindowID, WindowInfo> byID;
    for (const auto& window : system.inventory.windows()) byID.emplace(window.id, window);
    FrameMap scratch;
    Report report = perform(undoFrames(), byID, scratch, system);
    report.notes.insert(report.notes.begin(),
                        broughtBack ? "Undid last apply and brought back what it hid" : "Undid last apply");
    report_.set(std::move(report));

    undoFrames_.set({});
    undoHiddenApps_.set({});
    undoMinimized_.set({});
    system.inventory.refresh();
}

} // namespace qw
