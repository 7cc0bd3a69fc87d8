#include "platform/sim/sim_screen_capture.h"

#include "platform/main_loop.h"
#include "platform/sim/sim_pictures.h"

namespace qw::sim {

bool SimScreenCapture::preflightAccess() { return state_.world.screenRecording; }

bool SimScreenCapture::requestAccess() {
    if (!state_.world.screenRecording) ++state_.world.screenCaptureRequests;
    return state_.world.screenRecording;
}

Task<std::optional<std::vector<platform::ShareableWindow>>> SimScreenCapture::shareableWindows(ContentOptions options) {
    co_await state_.loop.sleep(listingTime);
    const World& world = state_.world;
    // Without the permission the system refuses the listing outright.
    if (!world.screenRecording) co_return std::nullopt;
    const std::vector<SpaceID> shown = shownSpaces(world);
    std::vector<platform::ShareableWindow> windows;
    for (const Window& w : world.windows) {
        if (options.excludingDesktopWindows && w.layer < 0) continue;
        const App* app = runningApp(world, w.pid);
        const bool onScreen = isOnScreen(w, app, shown);
        if (options.onScreenWindowsOnly && !onScreen) continue;
        windows.push_back(platform::ShareableWindow{w.id, w.pid, w.frame, w.title, onScreen});
    }
    co_return windows;
}

Task<std::optional<platform::Picture>> SimScreenCapture::capture(WindowID id, CaptureOptions options) {
    co_await state_.loop.sleep(captureTime);
    const World& world = state_.world;
    if (!world.screenRecording || options.width <= 0 || options.height <= 0) co_return std::nullopt;
    const Window* window = findWindow(world, id);
    // A minimized window has nothing to show; a window on another desktop still does.
    if (!window || window->minimized) co_return std::nullopt;
    const App* app = runningApp(world, window->pid);
    const TitleBarLayout layout = app ? TitleBarLayout::of(*app) : TitleBarLayout(TitleBarLayout::plainElements());
    co_return WindowPictures::draw(layout, window->frame.standardized().size, options.width, options.height);
}

} // namespace qw::sim
