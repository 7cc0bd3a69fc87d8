#pragma once

#include "model/display_info.h"
#include "model/observable.h"
#include "model/space_info.h"
#include "model/window_info.h"
#include "platform/clock.h"
#include "platform/notification_center.h"
#include "platform/platform.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qw {

class SkyLight;

// The system's one picture of the live desktop: the connected displays with their desktops, and the
// windows of regular apps that a layout can record or move. Every refresh reads everything afresh;
// observers hear of a list only when it actually changed.
//
// It refreshes itself when displays change, another desktop is shown, an app launches or quits,
// and after a wake; the parts that change the system call refresh() when they need the new state.
class Inventory {
public:
    // The user's nickname for an ordinary desktop on the display with that UUID, if any. The desktop
    // nicknames store answers it; it lives with the desktops, which build on this picture.
    using NicknameLookup = std::function<std::optional<std::string>(const SpaceInfo&, std::string_view displayUUID)>;

    // Before the first refresh.
    static constexpr WallTime distantPast = WallTime::min();
    // The most displays the system is asked for.
    static constexpr std::uint32_t maxDisplays = 32;
    // Smaller windows are palettes, pop-ups and the like, not windows a layout keeps.
    static constexpr double minimumWindowWidth = 60;
    static constexpr double minimumWindowHeight = 40;

    // Reads displays and windows once, then listens for the system's changes.
    Inventory(platform::Platform platform, const SkyLight& skyLight, NicknameLookup nicknames);
    Inventory(const Inventory&) = delete;
    Inventory& operator=(const Inventory&) = delete;

    // Connected displays, by the left edge of their frames.
    const std::vector<DisplayInfo>& displays() const { return displays_; }
    // Recordable windows, front to back.
    const std::vector<WindowInfo>& windows() const { return windows_; }
    // When the last refresh finished.
    WallTime lastRefresh() const { return lastRefresh_; }

    // Called after a refresh that changed the list, once both lists and lastRefresh are in place.
    Subscription observeDisplays(std::function<void(const std::vector<DisplayInfo>&)> observer) const;
    Subscription observeWindows(std::function<void(const std::vector<WindowInfo>&)> observer) const;

    // Re-reads the displays, then the windows on them.
    void refresh();

    // The listed window with the id, as the last refresh saw it.
    std::optional<WindowInfo> window(WindowID id) const;
    // The display with the largest share of the window's frame, if any display meets it at all.
    std::optional<DisplayInfo> displayContaining(const WindowInfo& window) const;
    // The window belongs to the desktop now shown on its display.
    bool isReachable(const WindowInfo& window) const;
    // The window lies on a display and is in no full-screen space there.
    bool isMovable(const WindowInfo& window) const;

private:
    const DisplayInfo* holder(const WindowInfo& window) const;
    std::vector<DisplayInfo> readDisplays() const;
    std::vector<WindowInfo> readWindows(const std::vector<DisplayInfo>& displays) const;

    platform::Platform platform_;
    const SkyLight& skyLight_;
    NicknameLookup nicknames_;

    std::vector<DisplayInfo> displays_;
    std::vector<WindowInfo> windows_;
    WallTime lastRefresh_ = distantPast;
    // Bumped after a list changed; observers are told through these, so that they hear of a change
    // only once the whole picture is consistent.
    Observable<std::uint64_t> displaysChanges_;
    Observable<std::uint64_t> windowsChanges_;

    // Last, so that they end first: no handler runs on a half-destroyed Inventory.
    std::array<platform::NotificationCenter::Registration, 5> registrations_;
};

} // namespace qw
