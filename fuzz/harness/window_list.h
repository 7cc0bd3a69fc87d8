#pragma once

// The window server's window list answering from the input, the rest of the system from the small
// simulated Mac of reply_mac.h, and the Inventory reading it. The fuzz target and the replay of its
// seeds both run inputs through runWindowList.
//
// An input is the window list as JSON: an array of window entries as CGWindowListCopyWindowInfo
// answers, written as property_json.h reads property-list values (so an entry that is null is
// left out). Any other JSON value makes the call return nothing; text that is not JSON is ignored.

#include "harness/property_json.h"
#include "harness/reply_mac.h"
#include "model/window_info.h"
#include "platform/window_server.h"
#include "system/inventory.h"
#include "system/skylight.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qw::fuzzing {

// The simulated Mac's window server with the window list replaced.
class ScriptedWindowList final : public platform::WindowServer {
public:
    ScriptedWindowList(platform::WindowServer& displays, std::optional<PropertyValue::Array> list)
        : displays_(displays), list_(std::move(list)) {}

    std::optional<std::vector<DisplayID>> activeDisplayList(std::uint32_t maxDisplays) override {
        return displays_.activeDisplayList(maxDisplays);
    }
    Rect displayBounds(DisplayID display) override { return displays_.displayBounds(display); }
    std::optional<std::string> displayUUID(DisplayID display) override { return displays_.displayUUID(display); }
    std::uint32_t displayVendorNumber(DisplayID display) override { return displays_.displayVendorNumber(display); }
    std::uint32_t displayModelNumber(DisplayID display) override { return displays_.displayModelNumber(display); }
    std::uint32_t displaySerialNumber(DisplayID display) override { return displays_.displaySerialNumber(display); }
    bool displayIsMain(DisplayID display) override { return displays_.displayIsMain(display); }
    std::optional<PropertyValue::Array> copyWindowList(ListOption) override { return list_; }

private:
    platform::WindowServer& displays_;
    std::optional<PropertyValue::Array> list_;
};

struct WindowListRun {
    std::optional<std::vector<WindowInfo>> windows; // none when the input is not JSON
    std::optional<std::string> fault;               // what went wrong, when something did
};

// What must hold of the windows an Inventory keeps, whatever the list said.
inline std::optional<std::string> inventoryFault(const Inventory& inventory, ProcessID ownProcess,
                                                 std::size_t listLength) {
    std::optional<std::int64_t> lastZ;
    for (const WindowInfo& w : inventory.windows()) {
        const std::string where = "window " + std::to_string(w.id) + ": ";
        if (w.pid == ownProcess) return where + "Quiltwright's own window is listed";
        if (!(w.frame.width() >= Inventory::minimumWindowWidth && w.frame.height() >= Inventory::minimumWindowHeight))
            return where + "smaller than a window a layout keeps";
        // A layout stores the frame as JSON numbers, which cannot be infinite.
        if (!std::isfinite(w.frame.x()) || !std::isfinite(w.frame.y()) || !std::isfinite(w.frame.width()) ||
            !std::isfinite(w.frame.height()))
            return where + "a frame that is not finite";
        if (w.spaceIDs.empty()) return where + "on no desktop";
        if (w.appName.empty()) return where + "no app name";
        if (w.zOrder < 0 || w.zOrder >= static_cast<std::int64_t>(listLength)) return where + "z-order off the list";
        if (lastZ && w.zOrder <= *lastZ) return where + "out of front-to-back order";
        lastZ = w.zOrder;
        if (!inventory.displayContaining(w)) return where + "kept although it lies on no display";
        // The questions the planner asks of every window must have answers, whatever the frame.
        (void)inventory.isReachable(w);
        (void)inventory.isMovable(w);
    }
    return std::nullopt;
}

inline WindowListRun runWindowList(std::string_view input, ReplyMac& mac) {
    const auto json = parseJson(input);
    if (!json) return {};
    std::optional<PropertyValue::Array> list;
    std::size_t listLength = 0;
    if (const auto value = json->is_array() ? propertyFromJson(*json) : std::nullopt) {
        list = *value->asArray();
        listLength = list->size();
    }

    auto platform = mac.platform();
    ScriptedWindowList windowServer(platform.windowServer, std::move(list));
    const platform::Platform scripted{
        platform.loop,          windowServer,         platform.desktopFunctions,       platform.screens,
        platform.workspace,     platform.notifications, platform.workspaceNotifications, platform.preferences,
        platform.defaults,      platform.accessibility, platform.screenCapture,        platform.loginItems,
        platform.input,         platform.processID,
    };
    const SkyLight skyLight(scripted.desktopFunctions, scripted.workspace);
    Inventory inventory(scripted, skyLight, [](const SpaceInfo&, std::string_view) { return std::nullopt; });
    inventory.refresh(); // a second reading of the same list must be as safe as the first

    WindowListRun run;
    run.windows = inventory.windows();
    run.fault = inventoryFault(inventory, scripted.processID, listLength);
    return run;
}

} // namespace qw::fuzzing
