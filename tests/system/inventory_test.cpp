#include "system/inventory.h"

#include "desktops/desktop_names.h"
#include "platform/notification_center.h"
#include "platform/window_server.h"
#include "system/simulated_world.h"
#include "system/skylight.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace qw {
namespace {

using platform::PropertyValue;
using testing::SimulatedWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// An Inventory on a simulated Mac, with the desktop nicknames of the world's user defaults.
class InventoryOn {
public:
    explicit InventoryOn(SimulatedWorld& world) : InventoryOn(world, world.platform()) {}
    InventoryOn(SimulatedWorld& world, platform::Platform platform)
        : skyLight(platform.desktopFunctions, platform.workspace),
          names(world.platform().defaults),
          inventory(platform, skyLight, [this](const SpaceInfo& space, std::string_view uuid) {
              return names.nickname(space, uuid);
          }) {}

    SkyLight skyLight;
    DesktopNames names;
    Inventory inventory;
};

std::vector<WindowID> idsOf(const std::vector<WindowInfo>& windows) {
    std::vector<WindowID> ids;
    for (const auto& w : windows) ids.push_back(w.id);
    return ids;
}

// ---- The window list ------------------------------------------------------------------------------------

// One display showing desktop 11 of 11 and 12. Each window tests one filter; the comment says why it is
// kept or left out. Quiltwright itself runs as pid 1000, the world's own process.
constexpr std::string_view filterWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11}, {"id": 12}], "currentSpace": 11}],
  "apps": [
    {"name": "TextEdit", "bundleID": "com.apple.TextEdit", "path": "/System/Applications/TextEdit.app", "pid": 100},
    {"name": "Helper", "path": "/Applications/Helper.app", "pid": 200, "regular": false}
  ],
  "windows": [
    {"id": 1,  "pid": 1000, "frame": [[100, 100], [400, 300]], "spaces": [11], "title": "own window: out"},
    {"id": 2,  "pid": 100, "frame": [[10, 10], [59, 40]], "spaces": [11], "title": "59 wide: out"},
    {"id": 3,  "pid": 100, "frame": [[10, 10], [60, 39]], "spaces": [11], "title": "39 high: out"},
    {"id": 4,  "pid": 100, "frame": [[10, 10], [60, 40]], "spaces": [11], "title": "60 by 40: kept"},
    {"id": 5,  "pid": 100, "frame": [[1440, 100], [200, 100]], "spaces": [11], "title": "touching the edge only: out"},
    {"id": 6,  "pid": 100, "frame": [[1439, 100], [200, 100]], "spaces": [11], "title": "one point on the display: kept"},
    {"id": 7,  "pid": 100, "frame": [[100, 100], [400, 300]], "spaces": [11], "minimized": true, "title": "minimized: out"},
    {"id": 8,  "pid": 100, "frame": [[100, 100], [400, 300]], "spaces": [12], "title": "desktop not shown: kept, off screen"},
    {"id": 9,  "pid": 100, "frame": [[100, 100], [400, 300]], "spaces": [11], "alpha": 0, "title": "transparent: out"},
    {"id": 10, "pid": 100, "frame": [[100, 100], [400, 300]], "spaces": [11], "layer": 3, "title": "panel layer: out"},
    {"id": 11, "pid": 200, "frame": [[100, 100], [400, 300]], "spaces": [11], "title": "accessory app: out"},
    {"id": 12, "pid": 100, "frame": [[100, 100], [400, 300]], "spaces": [], "title": "on no desktop: out"},
    {"id": 13, "pid": 100, "frame": [[100, 100], [400, 300]], "spaces": [11, 12], "alpha": 0.5, "title": "on every desktop: kept"}
  ]
})";

TEST(InventoryTest, KeepsOnlyRecordableWindowsAndCountsEveryEntryTowardZOrder) {
    SimulatedWorld world(filterWorld);
    InventoryOn on(world);
    const auto& windows = on.inventory.windows();

    ASSERT_THAT(idsOf(windows), ElementsAre(4u, 6u, 8u, 13u));
    EXPECT_EQ(windows[0].zOrder, 3);
    EXPECT_EQ(windows[1].zOrder, 5);
    EXPECT_EQ(windows[2].zOrder, 7);
    EXPECT_EQ(windows[3].zOrder, 12);

    EXPECT_TRUE(windows[0].isOnScreen);
    EXPECT_FALSE(windows[2].isOnScreen);
    EXPECT_THAT(windows[3].spaceIDs, ElementsAre(11u, 12u));

    const auto& kept = windows[0];
    EXPECT_EQ(kept.pid, 100);
    EXPECT_EQ(kept.appName, "TextEdit");
    EXPECT_EQ(kept.bundleID, "com.apple.TextEdit");
    EXPECT_EQ(kept.title, "60 by 40: kept");
    EXPECT_EQ(kept.frame, Rect(10, 10, 60, 40));
    EXPECT_THAT(kept.spaceIDs, ElementsAre(11u));
}

TEST(InventoryTest, TheEntryBehindTheAppsOwnFrontWindowHasZOrderOne) {
    SimulatedWorld world(R"({
      "apps": [{"name": "Notes", "path": "/System/Applications/Notes.app", "pid": 100}],
      "windows": [{"id": 1, "pid": 1000, "frame": [[100, 100], [400, 300]]},
                  {"id": 2, "pid": 100, "frame": [[100, 100], [400, 300]]}]
    })");
    InventoryOn on(world);
    ASSERT_THAT(idsOf(on.inventory.windows()), ElementsAre(2u));
    EXPECT_EQ(on.inventory.windows()[0].zOrder, 1);
    EXPECT_FALSE(on.inventory.windows()[0].bundleID); // an app without a bundle identifier
}

// The window server with one member of every window-list entry replaced or removed, for the mistyped
// entries a real system may hand over and the simulated one, being consistent, never does.
class RetypedWindowServer final : public platform::WindowServer {
public:
    RetypedWindowServer(platform::WindowServer& server, std::string member, std::optional<PropertyValue> value)
        : server_(server), member_(std::move(member)), value_(std::move(value)) {}

    std::optional<std::vector<DisplayID>> activeDisplayList(std::uint32_t max) override { return server_.activeDisplayList(max); }
    Rect displayBounds(DisplayID d) override { return server_.displayBounds(d); }
    std::optional<std::string> displayUUID(DisplayID d) override { return server_.displayUUID(d); }
    std::uint32_t displayVendorNumber(DisplayID d) override { return server_.displayVendorNumber(d); }
    std::uint32_t displayModelNumber(DisplayID d) override { return server_.displayModelNumber(d); }
    std::uint32_t displaySerialNumber(DisplayID d) override { return server_.displaySerialNumber(d); }
    bool displayIsMain(DisplayID d) override { return server_.displayIsMain(d); }
    std::optional<PropertyValue::Array> copyWindowList(ListOption option) override {
        auto list = server_.copyWindowList(option);
        if (!list) return list;
        for (auto& entry : *list) {
            auto dictionary = *entry.asDictionary();
            if (value_)
                dictionary.insert_or_assign(member_, *value_);
            else
                dictionary.erase(member_);
            entry = PropertyValue(std::move(dictionary));
        }
        return list;
    }

private:
    platform::WindowServer& server_;
    std::string member_;
    std::optional<PropertyValue> value_;
};

struct Retyped {
    const char* name;
    const char* member;
    std::optional<PropertyValue> value; // absent: the member is removed
    // The window as read, or none when the entry is dropped.
    std::function<void(const std::vector<WindowInfo>&)> check;
};

const auto dropped = [](const std::vector<WindowInfo>& windows) { EXPECT_THAT(windows, IsEmpty()); };
const auto kept = [](const std::vector<WindowInfo>& windows) { EXPECT_EQ(windows.size(), 1u); };

class RetypedEntryTest : public ::testing::TestWithParam<Retyped> {};

TEST_P(RetypedEntryTest, MistypedMembersDropTheEntryOrFallBack) {
    SimulatedWorld world(R"({
      "apps": [{"name": "Notes", "bundleID": "com.apple.Notes", "path": "/System/Applications/Notes.app", "pid": 100}],
      "windows": [{"id": 7, "pid": 100, "title": "Groceries", "frame": [[100, 100], [400, 300]]}]
    })");
    auto platform = world.platform();
    RetypedWindowServer server(platform.windowServer, GetParam().member, GetParam().value);
    platform::Platform retyped{platform.loop,          server,
                               platform.desktopFunctions, platform.screens,
                               platform.workspace,     platform.notifications,
                               platform.workspaceNotifications, platform.preferences,
                               platform.defaults,      platform.accessibility,
                               platform.screenCapture, platform.loginItems,
                               platform.input,         platform.processID};
    InventoryOn on(world, retyped);
    GetParam().check(on.inventory.windows());
}

namespace Keys = platform::WindowKeys;
using Dictionary = PropertyValue::Dictionary;

INSTANTIATE_TEST_SUITE_P(
    Members, RetypedEntryTest,
    ::testing::Values(
        Retyped{"layer_missing", Keys::layer, std::nullopt, dropped},
        Retyped{"layer_a_string", Keys::layer, "0", dropped},
        Retyped{"layer_a_fraction", Keys::layer, 0.5, dropped},
        Retyped{"number_missing", Keys::number, std::nullopt, dropped},
        Retyped{"number_a_string", Keys::number, "7", dropped},
        Retyped{"pid_missing", Keys::ownerPID, std::nullopt, dropped},
        Retyped{"pid_a_string", Keys::ownerPID, "100", dropped},
        Retyped{"bounds_missing", Keys::bounds, std::nullopt, dropped},
        Retyped{"bounds_without_height", Keys::bounds, Dictionary{{"X", 100}, {"Y", 100}, {"Width", 400}}, dropped},
        Retyped{"bounds_a_string_member", Keys::bounds,
                Dictionary{{"X", 100}, {"Y", 100}, {"Width", "400"}, {"Height", 300}}, dropped},
        Retyped{"alpha_missing_passes", Keys::alpha, std::nullopt, kept},
        Retyped{"alpha_a_string_passes", Keys::alpha, "0", kept},
        Retyped{"alpha_zero", Keys::alpha, 0, dropped},
        Retyped{"onscreen_missing_counts_as_off_screen", Keys::isOnscreen, std::nullopt, dropped},
        Retyped{"onscreen_a_number_counts_as_off_screen", Keys::isOnscreen, 1, dropped},
        Retyped{"owner_name_missing_uses_the_apps_name", Keys::ownerName, std::nullopt,
                [](const std::vector<WindowInfo>& w) {
                    ASSERT_EQ(w.size(), 1u);
                    EXPECT_EQ(w[0].appName, "Notes");
                }},
        Retyped{"owner_name_a_number_uses_the_apps_name", Keys::ownerName, 5,
                [](const std::vector<WindowInfo>& w) {
                    ASSERT_EQ(w.size(), 1u);
                    EXPECT_EQ(w[0].appName, "Notes");
                }},
        Retyped{"owner_name_its_own", Keys::ownerName, "Notes Helper",
                [](const std::vector<WindowInfo>& w) {
                    ASSERT_EQ(w.size(), 1u);
                    EXPECT_EQ(w[0].appName, "Notes Helper");
                }},
        Retyped{"title_missing_is_empty", Keys::name, std::nullopt,
                [](const std::vector<WindowInfo>& w) {
                    ASSERT_EQ(w.size(), 1u);
                    EXPECT_EQ(w[0].title, "");
                }},
        Retyped{"title_mistyped_is_empty", Keys::name, Dictionary{},
                [](const std::vector<WindowInfo>& w) {
                    ASSERT_EQ(w.size(), 1u);
                    EXPECT_EQ(w[0].title, "");
                }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InventoryTest, WithoutDesktopFunctionsNoWindowIsListed) {
    auto parsed = SimulatedWorld::parse(filterWorld);
    parsed.desktopFunctions = false;
    SimulatedWorld world(std::move(parsed));
    InventoryOn on(world);
    ASSERT_EQ(on.inventory.displays().size(), 1u);
    EXPECT_THAT(on.inventory.displays()[0].spaces, IsEmpty());
    EXPECT_EQ(on.inventory.displays()[0].currentSpaceID, 0u);
    EXPECT_THAT(on.inventory.windows(), IsEmpty());
}

// ---- Displays -------------------------------------------------------------------------------------------

constexpr std::string_view twoDisplays = R"({
  "displays": [
    {"id": 2, "uuid": "DISPLAY-B", "vendor": 1552, "model": 41234, "serial": 77, "name": "Studio Display",
     "frame": [[1440, -200], [1920, 1080]],
     "spaces": [{"id": 21, "uuid": "S21"}, {"id": 22}]},
    {"id": 1, "uuid": "DISPLAY-A", "main": true, "name": "Built-in Retina Display", "frame": [[0, 0], [1440, 900]],
     "visibleFrame": [[0, 25], [1440, 800]],
     "spaces": [{"id": 11}, {"id": 12, "fullscreen": true, "pid": 100, "uuid": "FS"}, {"id": 13, "uuid": "S13"}],
     "currentSpace": 13}
  ],
  "apps": [{"name": "Keynote", "path": "/Applications/Keynote.app", "pid": 100}],
  "defaults": {"desktopNames": {"S21": "Mail", "DISPLAY-A#1": "Personal", "FS": "Never shown", "DISPLAY-B#2": "Clients"}}
})";

TEST(InventoryTest, ReadsDisplaysSortedByLeftEdgeWithTheirDesktops) {
    SimulatedWorld world(twoDisplays);
    InventoryOn on(world);
    const auto& displays = on.inventory.displays();
    ASSERT_EQ(displays.size(), 2u);

    const auto& a = displays[0];
    EXPECT_EQ(a.id, 1u);
    EXPECT_EQ(a.uuid, "DISPLAY-A");
    EXPECT_EQ(a.name, "Built-in Retina Display");
    EXPECT_TRUE(a.isMain);
    EXPECT_EQ(a.frame, Rect(0, 0, 1440, 900));
    EXPECT_EQ(a.visibleFrame, Rect(0, 25, 1440, 800)); // given bottom-up by the screen, read top-down
    EXPECT_EQ(a.currentSpaceID, 13u);
    ASSERT_EQ(a.spaces.size(), 3u);
    EXPECT_EQ(a.spaces[0].nickname, "Personal"); // no desktop UUID: keyed by the display's and the index
    EXPECT_EQ(a.spaces[1].name, "Keynote");
    EXPECT_EQ(a.spaces[1].nickname, std::nullopt); // full-screen spaces have no nicknames
    EXPECT_EQ(a.spaces[2].nickname, std::nullopt);

    const auto& b = displays[1];
    EXPECT_EQ(b.id, 2u);
    EXPECT_EQ(b.name, "Studio Display");
    EXPECT_FALSE(b.isMain);
    EXPECT_EQ(b.key, (DisplayKey{1552, 41234, 77}));
    EXPECT_EQ(b.frame, Rect(1440, -200, 1920, 1080));
    EXPECT_EQ(b.visibleFrame, Rect(1440, -175, 1920, 1055)); // the frame less the menu bar
    EXPECT_EQ(a.spaces[0].number, 3); // numbers run on in the order the window server lists displays: B first
    EXPECT_EQ(b.spaces[0].number, 1);
    EXPECT_EQ(b.spaces[0].nickname, "Mail");
    EXPECT_EQ(b.spaces[1].nickname, "Clients");
}

TEST(InventoryTest, DisplaysWithEqualLeftEdgesKeepTheSystemsOrder) {
    SimulatedWorld world(R"({"displays": [
      {"id": 3, "frame": [[0, 900], [1440, 900]]},
      {"id": 1, "main": true, "frame": [[0, 0], [1440, 900]]},
      {"id": 2, "frame": [[-1920, 0], [1920, 1080]]}
    ]})");
    InventoryOn on(world);
    std::vector<DisplayID> ids;
    for (const auto& d : on.inventory.displays()) ids.push_back(d.id);
    EXPECT_THAT(ids, ElementsAre(2u, 3u, 1u));
}

TEST(InventoryTest, ADisplayWithoutAScreenIsNamedByItsIdAndUsesItsWholeFrame) {
    SimulatedWorld world(R"({"displays": [
      {"id": 1, "main": true, "frame": [[0, 0], [1440, 900]], "screen": false},
      {"id": 69733382, "frame": [[1440, 0], [1920, 1080]], "screen": false}
    ]})");
    InventoryOn on(world);
    const auto& displays = on.inventory.displays();
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0].name, "Display 1");
    EXPECT_EQ(displays[0].visibleFrame, displays[0].frame);
    EXPECT_EQ(displays[1].name, "Display 69733382");
    EXPECT_EQ(displays[1].visibleFrame, Rect(1440, 0, 1920, 1080));
}

TEST(InventoryTest, SharedDesktopsUnderMainBelongToEveryDisplay) {
    SimulatedWorld world(R"({
      "separateSpaces": false,
      "displays": [
        {"id": 1, "uuid": "DISPLAY-A", "main": true, "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}, {"id": 12}],
         "currentSpace": 12},
        {"id": 2, "uuid": "DISPLAY-B", "frame": [[1440, 0], [1920, 1080]]}
      ],
      "defaults": {"desktopNames": {"DISPLAY-B#1": "Work"}}
    })");
    InventoryOn on(world);
    const auto& displays = on.inventory.displays();
    ASSERT_EQ(displays.size(), 2u);
    for (const auto& display : displays) {
        EXPECT_EQ(display.currentSpaceID, 12u);
        ASSERT_EQ(display.spaces.size(), 2u);
        EXPECT_EQ(display.spaces[1].name, "Desktop 2");
    }
    // Nicknames are keyed by the display each copy is listed on.
    EXPECT_EQ(displays[0].spaces[0].nickname, std::nullopt);
    EXPECT_EQ(displays[1].spaces[0].nickname, "Work");
}

// ---- Questions about a window -------------------------------------------------------------------------

constexpr std::string_view sideBySide = R"({
  "displays": [
    {"id": 1, "uuid": "LEFT", "main": true, "frame": [[0, 0], [1000, 800]],
     "spaces": [{"id": 11}, {"id": 12, "fullscreen": true, "pid": 100}], "currentSpace": 11},
    {"id": 2, "uuid": "RIGHT", "frame": [[1000, 0], [1000, 800]],
     "spaces": [{"id": 21, "fullscreen": true, "pid": 100}, {"id": 22}], "currentSpace": 21}
  ],
  "apps": [{"name": "Keynote", "path": "/Applications/Keynote.app", "pid": 100}]
})";

WindowInfo windowAt(Rect frame, std::vector<SpaceID> spaces) {
    WindowInfo window;
    window.frame = frame;
    window.spaceIDs = std::move(spaces);
    return window;
}

TEST(InventoryTest, TheDisplayHoldingAWindowHasTheLargestShareOfIt) {
    SimulatedWorld world(sideBySide);
    InventoryOn on(world);
    const auto& inventory = on.inventory;

    EXPECT_EQ(inventory.displayContaining(windowAt(Rect(700, 100, 1000, 400), {}))->id, 2u); // 70 % on the right
    EXPECT_EQ(inventory.displayContaining(windowAt(Rect(500, 100, 1000, 400), {}))->id, 1u); // a tie: the earlier
    EXPECT_EQ(inventory.displayContaining(windowAt(Rect(2000, 0, 300, 300), {})), std::nullopt); // touching only
    EXPECT_EQ(inventory.displayContaining(windowAt(Rect(100, 900, 300, 300), {})), std::nullopt);
}

TEST(InventoryTest, ReachableAndMovableFollowTheHoldingDisplaysDesktops) {
    SimulatedWorld world(sideBySide);
    InventoryOn on(world);
    const auto& inventory = on.inventory;
    const Rect left(100, 100, 400, 300), right(1100, 100, 400, 300), nowhere(3000, 0, 400, 300);

    struct Case {
        const char* what;
        WindowInfo window;
        bool reachable;
        bool movable;
    };
    const Case cases[] = {
        {"on the shown desktop", windowAt(left, {11}), true, true},
        {"on every desktop", windowAt(left, {22, 11}), true, true},
        {"on another desktop", windowAt(left, {99}), false, true},
        {"in a full-screen space", windowAt(left, {12}), false, false},
        {"a full-screen space listed second", windowAt(left, {11, 12}), true, false},
        {"where a full-screen space is shown", windowAt(right, {22}), false, true},
        {"on no display", windowAt(nowhere, {11}), false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(inventory.isReachable(c.window), c.reachable) << c.what;
        EXPECT_EQ(inventory.isMovable(c.window), c.movable) << c.what;
    }
}

// ---- Refreshing -----------------------------------------------------------------------------------------

constexpr std::string_view oneWindow = R"({
  "now": "2026-03-02T09:00:00Z",
  "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}, {"id": 12}]}],
  "apps": [{"name": "Notes", "path": "/System/Applications/Notes.app", "pid": 100}],
  "windows": [{"id": 7, "pid": 100, "frame": [[100, 100], [400, 300]], "spaces": [11]}],
  "timeline": [{"at": 5, "event": "showDesktop", "display": 1, "space": 12}]
})";

TEST(InventoryTest, ObserversHearOnlyOfListsThatChanged) {
    SimulatedWorld world(oneWindow);
    InventoryOn on(world);
    int displayChanges = 0, windowChanges = 0;
    std::vector<WindowInfo> heard;
    const auto d = on.inventory.observeDisplays([&](const auto&) { ++displayChanges; });
    const auto w = on.inventory.observeWindows([&](const auto& windows) {
        ++windowChanges;
        heard = windows;
        // Both lists and the time are in place when observers hear of a change.
        EXPECT_EQ(on.inventory.displays()[0].currentSpaceID, 12u);
        EXPECT_EQ(on.inventory.lastRefresh(), world.loop().wallTime());
    });

    on.inventory.refresh();
    EXPECT_EQ(displayChanges, 0);
    EXPECT_EQ(windowChanges, 0);

    // Showing desktop 12 posts the active-space notification; the Inventory refreshes itself.
    world.mac().startTimeline();
    world.loop().run();
    EXPECT_EQ(displayChanges, 1);
    EXPECT_EQ(windowChanges, 1);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_FALSE(heard[0].isOnScreen);
}

TEST(InventoryTest, RefreshesOnEachSystemNotificationAndStopsListeningWhenGone) {
    SimulatedWorld world(oneWindow);
    auto platform = world.platform();
    const auto start = world.loop().wallTime();
    auto on = std::make_unique<InventoryOn>(world);
    EXPECT_EQ(on->inventory.lastRefresh(), start);

    namespace N = platform::Notifications;
    const std::pair<platform::NotificationCenter*, const char*> triggers[] = {
        {&platform.notifications, N::screenParametersChanged},
        {&platform.workspaceNotifications, N::activeSpaceDidChange},
        {&platform.workspaceNotifications, N::didLaunchApplication},
        {&platform.workspaceNotifications, N::didTerminateApplication},
        {&platform.workspaceNotifications, N::didWake},
    };
    for (const auto& [center, name] : triggers) {
        world.loop().runFor(std::chrono::seconds(1));
        center->post({name, {}});
        EXPECT_EQ(on->inventory.lastRefresh(), world.loop().wallTime()) << name;
    }

    on.reset();
    for (const auto& [center, name] : triggers) EXPECT_EQ(center->observerCount(name), 0u) << name;
}

TEST(InventoryTest, WithoutDisplaysThereAreNoWindows) {
    SimulatedWorld world(R"({
      "displays": [],
      "apps": [{"name": "Notes", "path": "/System/Applications/Notes.app", "pid": 100}]
    })");
    InventoryOn on(world);
    EXPECT_THAT(on.inventory.displays(), IsEmpty());
    EXPECT_THAT(on.inventory.windows(), IsEmpty());
}

} // namespace
} // namespace qw
