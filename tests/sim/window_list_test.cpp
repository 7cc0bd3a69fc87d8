#include "platform/desktop_functions.h"
#include "platform/window_server.h"
#include "system/simulated_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace qw {
namespace {

using platform::PropertyValue;
using platform::WindowServer;
using testing::SimulatedWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace Keys = platform::WindowKeys;

// One display showing desktop 11 of 11 and 12; Music is hidden, Finder draws the desktop icons, and
// Quiltwright (pid 1000, this process) has a window of its own.
constexpr std::string_view listWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}, {"id": 12}]}],
  "apps": [
    {"name": "Notes", "path": "/Applications/Notes.app", "pid": 100},
    {"name": "Music", "path": "/Applications/Music.app", "pid": 200, "hidden": true},
    {"name": "Finder", "path": "/System/Library/CoreServices/Finder.app", "pid": 300}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "shown", "frame": [[10, 40], [400, 300]], "spaces": [11], "alpha": 0.5},
    {"id": 2, "pid": 100, "title": "minimized", "frame": [[10, 40], [400, 300]], "spaces": [11], "minimized": true},
    {"id": 3, "pid": 200, "title": "of a hidden app", "frame": [[10, 40], [400, 300]], "spaces": [11]},
    {"id": 4, "pid": 100, "title": "on desktop 12", "frame": [[10, 40], [400, 300]], "spaces": [12]},
    {"id": 5, "pid": 100, "title": "on every desktop", "frame": [[10, 40], [400, 300]], "spaces": [12, 11], "layer": 3},
    {"id": 6, "pid": 1000, "title": "Quiltwright", "frame": [[500, 40], [400, 300]], "spaces": [11]},
    {"id": 7, "pid": 300, "frame": [[0, 0], [1440, 900]], "spaces": [11, 12], "layer": -2147483608}
  ]
})";

using Entries = std::map<WindowID, PropertyValue::Dictionary>;

Entries listed(SimulatedWorld& world, WindowServer::ListOption option) {
    Entries entries;
    const auto list = world.platform().windowServer.copyWindowList(option);
    for (const auto& entry : *list) {
        const auto& d = *entry.asDictionary();
        entries.emplace(*d.at(Keys::number).asUInt32(), d);
    }
    return entries;
}

std::vector<WindowID> order(SimulatedWorld& world) {
    std::vector<WindowID> ids;
    const auto list = world.platform().windowServer.copyWindowList(WindowServer::ListOption::allWindows);
    for (const auto& entry : *list) ids.push_back(*entry.asDictionary()->at(Keys::number).asUInt32());
    return ids;
}

TEST(WindowListTest, OnScreenFollowsMinimizedWindowsHiddenAppsAndShownDesktops) {
    SimulatedWorld world(listWorld);
    const auto all = listed(world, WindowServer::ListOption::allWindows);
    EXPECT_THAT(order(world), ElementsAre(1u, 2u, 3u, 4u, 5u, 6u, 7u)); // front to back, as the world lists them

    const std::map<WindowID, bool> expected{{1, true},  {2, false}, {3, false}, {4, false},
                                            {5, true},  {6, true},  {7, true}};
    for (const auto& [id, onScreen] : expected) {
        // Core Graphics leaves the member out rather than saying false.
        EXPECT_EQ(all.at(id).contains(Keys::isOnscreen), onScreen) << "window " << id;
        if (onScreen) {
            EXPECT_EQ(all.at(id).at(Keys::isOnscreen).asBool(), true);
        }
    }

    // Showing desktop 12 and unhiding Music: what was off screen for that reason comes on.
    world.mutableWorld().displays[0].currentSpace = 12;
    world.mutableWorld().apps[1].hidden = false;
    const auto after = listed(world, WindowServer::ListOption::allWindows);
    EXPECT_FALSE(after.at(1).contains(Keys::isOnscreen));
    EXPECT_FALSE(after.at(2).contains(Keys::isOnscreen));
    EXPECT_FALSE(after.at(3).contains(Keys::isOnscreen)); // its desktop is no longer shown
    EXPECT_TRUE(after.at(4).contains(Keys::isOnscreen));
    EXPECT_TRUE(after.at(5).contains(Keys::isOnscreen));
}

TEST(WindowListTest, EntriesCarryTheWindowsLayerAlphaBoundsAndOwner) {
    SimulatedWorld world(listWorld);
    const auto all = listed(world, WindowServer::ListOption::allWindows);

    const auto& shown = all.at(1);
    EXPECT_EQ(shown.at(Keys::layer).asInt64(), 0);
    EXPECT_EQ(shown.at(Keys::alpha).asDouble(), 0.5);
    EXPECT_EQ(shown.at(Keys::ownerPID).asInt64(), 100);
    EXPECT_EQ(*shown.at(Keys::ownerName).asString(), "Notes");
    EXPECT_EQ(*shown.at(Keys::name).asString(), "shown");
    EXPECT_EQ(platform::rectFromBoundsDictionary(shown.at(Keys::bounds)), Rect(10, 40, 400, 300));
    EXPECT_EQ(all.at(5).at(Keys::layer).asInt64(), 3);
    EXPECT_EQ(all.at(2).at(Keys::alpha).asDouble(), 1.0);
    EXPECT_EQ(*all.at(6).at(Keys::ownerName).asString(), "Quiltwright");

    // Desktop elements (the icons, on a layer far below 0) are left out on request.
    const auto withoutDesktop = listed(world, WindowServer::ListOption::allExcludingDesktopElements);
    EXPECT_FALSE(withoutDesktop.contains(7));
    EXPECT_EQ(withoutDesktop.size(), 6u);
}

TEST(WindowListTest, OtherAppsTitlesNeedTheScreenRecordingPermission) {
    auto parsed = SimulatedWorld::parse(listWorld);
    parsed.screenRecording = false;
    SimulatedWorld world(std::move(parsed));
    const auto all = listed(world, WindowServer::ListOption::allWindows);
    EXPECT_FALSE(all.at(1).contains(Keys::name));
    EXPECT_TRUE(all.at(1).contains(Keys::ownerName));
    EXPECT_EQ(*all.at(6).at(Keys::name).asString(), "Quiltwright"); // its own windows it may always read
}

TEST(WindowListTest, DisplaysAreListedInTheWorldsOrderUpToTheRoomGiven) {
    SimulatedWorld world(R"({"displays": [
      {"id": 5, "frame": [[1440, 0], [800, 600]]}, {"id": 3, "main": true, "frame": [[0, 0], [1440, 900]]},
      {"id": 9, "frame": [[-800, 0], [800, 600]]}]})");
    auto& server = world.platform().windowServer;
    EXPECT_THAT(*server.activeDisplayList(32), ElementsAre(5u, 3u, 9u));
    EXPECT_THAT(*server.activeDisplayList(2), ElementsAre(5u, 3u));
    EXPECT_TRUE(server.displayIsMain(3));
    EXPECT_FALSE(server.displayIsMain(5));
    EXPECT_TRUE(server.displayBounds(4).isNull()); // no such display
    EXPECT_EQ(server.displayUUID(9), std::nullopt);
}

// ---- The private desktop functions ---------------------------------------------------------------------

constexpr const char* skyLight = "/System/Library/PrivateFrameworks/SkyLight.framework/SkyLight";

// Two displays; Keynote is full screen on the first.
constexpr std::string_view desktopsWorld = R"({
  "displays": [
    {"id": 1, "uuid": "LEFT", "frame": [[0, 0], [1440, 900]],
     "spaces": [{"id": 11}, {"id": 12, "uuid": "FS", "fullscreen": true, "pid": 100}], "currentSpace": 12},
    {"id": 2, "uuid": "RIGHT", "frame": [[1440, 0], [1440, 900]], "spaces": [{"id": 21, "uuid": "S21"}, {"id": 22}]}
  ],
  "apps": [{"name": "Keynote", "path": "/Applications/Keynote.app", "pid": 100}],
  "windows": [
    {"id": 1, "pid": 100, "frame": [[0, 0], [1440, 900]], "spaces": [12]},
    {"id": 2, "pid": 100, "frame": [[1500, 40], [400, 300]], "spaces": [22, 21]}
  ]
})";

PropertyValue::Array spacesOfWindows(platform::DesktopFunctions& functions, std::int32_t selector,
                                     PropertyValue::Array numbers) {
    const auto reply = functions.copySpacesForWindows(functions.mainConnectionID(), selector, PropertyValue(numbers));
    return reply ? *reply->asArray() : PropertyValue::Array{};
}

TEST(DesktopFunctionsTest, ListEachDisplaysSpacesAsTheWindowServerShapesThem) {
    SimulatedWorld world(desktopsWorld);
    auto& functions = world.platform().desktopFunctions;
    ASSERT_TRUE(functions.loadFramework(skyLight));
    ASSERT_TRUE(functions.hasSymbol("SLSCopyManagedDisplaySpaces"));
    EXPECT_FALSE(functions.hasSymbol("SLSSomethingElse"));

    const auto reply = functions.copyManagedDisplaySpaces(functions.mainConnectionID());
    ASSERT_TRUE(reply);
    const auto& displays = *reply->asArray();
    ASSERT_EQ(displays.size(), 2u);
    const auto& left = *displays[0].asDictionary();
    EXPECT_EQ(*left.at("Display Identifier").asString(), "LEFT");
    EXPECT_EQ(left.at("Current Space").asDictionary()->at("id64").asUInt64(), 12u);
    const auto& spaces = *left.at("Spaces").asArray();
    ASSERT_EQ(spaces.size(), 2u);
    const auto& fullScreen = *spaces[1].asDictionary();
    EXPECT_EQ(fullScreen.at("type").asInt64(), 4);
    EXPECT_EQ(fullScreen.at("pid").asInt64(), 100);
    EXPECT_EQ(*fullScreen.at("uuid").asString(), "FS");
    EXPECT_EQ(spaces[0].asDictionary()->at("type").asInt64(), 0);
    EXPECT_FALSE(spaces[0].asDictionary()->contains("pid"));
    EXPECT_EQ(*displays[1].asDictionary()->at("Display Identifier").asString(), "RIGHT");

    // A connection other than the process's own gets nothing.
    EXPECT_FALSE(functions.copyManagedDisplaySpaces(functions.mainConnectionID() + 1));
}

TEST(DesktopFunctionsTest, TheSpacesOfWindowsFollowTheSelectorsBits) {
    SimulatedWorld world(desktopsWorld);
    auto& functions = world.platform().desktopFunctions;
    ASSERT_TRUE(functions.loadFramework(skyLight));
    // Window 2 is on 22 and on 21, which its display shows.
    EXPECT_THAT(spacesOfWindows(functions, 7, {2}), ElementsAre(PropertyValue(22u), PropertyValue(21u)));
    EXPECT_THAT(spacesOfWindows(functions, 5, {2}), ElementsAre(PropertyValue(21u)));  // shown only
    EXPECT_THAT(spacesOfWindows(functions, 6, {2}), ElementsAre(PropertyValue(22u)));  // the others
    EXPECT_THAT(spacesOfWindows(functions, 3, {2}), IsEmpty());                        // no user spaces asked
    // Several windows: each space once, unknown windows contribute nothing.
    EXPECT_THAT(spacesOfWindows(functions, 7, {1, 99, 2, 1}),
                ElementsAre(PropertyValue(12u), PropertyValue(22u), PropertyValue(21u)));
}

TEST(DesktopFunctionsTest, SharedDesktopsAreOneEntryMainWithTheMainDisplaysSpaces) {
    SimulatedWorld world(R"({
      "separateSpaces": false,
      "displays": [
        {"id": 2, "uuid": "RIGHT", "frame": [[1440, 0], [1440, 900]]},
        {"id": 1, "uuid": "LEFT", "main": true, "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}, {"id": 12}],
         "currentSpace": 12}
      ],
      "apps": [{"name": "Notes", "path": "/Applications/Notes.app", "pid": 100}],
      "windows": [{"id": 1, "pid": 100, "frame": [[1500, 40], [400, 300]], "spaces": [12]},
                  {"id": 2, "pid": 100, "frame": [[1500, 40], [400, 300]], "spaces": [11]}]
    })");
    auto& functions = world.platform().desktopFunctions;
    ASSERT_TRUE(functions.loadFramework(skyLight));
    const auto reply = functions.copyManagedDisplaySpaces(functions.mainConnectionID());
    const auto& displays = *reply->asArray();
    ASSERT_EQ(displays.size(), 1u);
    EXPECT_EQ(*displays[0].asDictionary()->at("Display Identifier").asString(), "Main");
    EXPECT_EQ(displays[0].asDictionary()->at("Spaces").asArray()->size(), 2u);

    // The main display's desktop is shown on the other display too.
    const auto all = listed(world, WindowServer::ListOption::allWindows);
    EXPECT_TRUE(all.at(1).contains(Keys::isOnscreen));
    EXPECT_FALSE(all.at(2).contains(Keys::isOnscreen));
}

TEST(DesktopFunctionsTest, AreMissingWhenTheWorldHasNone) {
    auto parsed = SimulatedWorld::parse(desktopsWorld);
    parsed.desktopFunctions = false;
    SimulatedWorld world(std::move(parsed));
    auto& functions = world.platform().desktopFunctions;
    EXPECT_FALSE(functions.loadFramework(skyLight));
    for (const char* name : {"SLSMainConnectionID", "SLSCopyManagedDisplaySpaces", "SLSCopySpacesForWindows"})
        EXPECT_FALSE(functions.hasSymbol(name)) << name;
}

TEST(DesktopFunctionsTest, LoadOnlyFromTheFrameworksOwnPath) {
    SimulatedWorld world(desktopsWorld);
    auto& functions = world.platform().desktopFunctions;
    EXPECT_FALSE(functions.loadFramework("/System/Library/Frameworks/SkyLight.framework/SkyLight"));
    EXPECT_FALSE(functions.hasSymbol("SLSMainConnectionID"));
    EXPECT_TRUE(functions.loadFramework(skyLight));
    EXPECT_TRUE(functions.hasSymbol("SLSMainConnectionID"));
}

} // namespace
} // namespace qw
