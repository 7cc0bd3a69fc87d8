#include "platform/sim/simulated_mac.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace qw {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// ---- Refusing what a Mac could not be ------------------------------------------------------------------

struct Malformed {
    const char* name;
    std::string json;
    std::string path; // what the message must start with, before ": "
};

void PrintTo(const Malformed& c, std::ostream* out) { *out << c.name; }

// A small valid world the cases below break in one place each.
std::string twoDisplays(const std::string& second = R"({"id": 2, "frame": [[1440, 0], [1920, 1080]], "spaces": [{"id": 21}]})") {
    return R"({"displays": [{"id": 1, "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}, {"id": 12}]}, )" +
           second + "]}";
}

std::string withApp(const std::string& app, const std::string& windows = "[]") {
    return R"({"apps": [)" + app + R"(], "windows": )" + windows + "}";
}

const std::string notes = R"({"name": "Notes", "path": "/Applications/Notes.app", "pid": 100})";

std::string withWindows(const std::string& windows) { return withApp(notes, windows); }

std::string withEvent(const std::string& event) {
    return R"({"apps": [)" + notes + R"(], "windows": [{"id": 7, "pid": 100, "frame": [[0, 30], [400, 300]]}],
              "timeline": [)" + event + "]}";
}

std::string nested(int depth) { return R"({"defaults": {"deep": )" + std::string(depth, '[') + std::string(depth, ']') + "}}"; }

class MalformedWorldTest : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedWorldTest, IsRefusedWithTheMembersPath) {
    const auto& c = GetParam();
    const auto world = sim::readWorld(c.json);
    ASSERT_FALSE(world) << "accepted";
    EXPECT_THAT(world.message(), StartsWith(c.path + ": "));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedWorldTest,
    ::testing::Values(
        // The document itself.
        Malformed{"NotJson", "{\"displays\": [", "displays[0]"},
        Malformed{"Empty", "", "world"},
        Malformed{"TrailingText", "{} {}", "world"},
        Malformed{"NotAnObject", "[]", "world"},
        Malformed{"MemberGivenTwice", R"({"accessibility": true, "accessibility": false})", "accessibility"},
        Malformed{"MemberGivenTwiceAtDepth", twoDisplays(R"({"id": 2, "id": 3, "frame": [[1440, 0], [10, 10]]})"),
                  "displays[1].id"},
        Malformed{"InvalidUtf8", "{\"apps\": [{\"name\": \"Caf\xC3\", \"path\": \"/A.app\"}]}", "apps[0].name"},
        Malformed{"InvalidUtf8InAnArray", "{\"openedURLs\": [\"a\", \"\xFF\"]}", "openedURLs[1]"},
        Malformed{"MissingComma", R"({"accessibility": true "screenRecording": true})", "world"},
        // Unknown members and wrong types.
        Malformed{"UnknownMember", R"({"colour": "blue"})", "colour"},
        Malformed{"UnknownMemberAtDepth", withWindows(R"([{"id": 1, "pid": 100, "frame": [[0, 0], [100, 100]], "colour": 1}])"),
                  "windows[0].colour"},
        Malformed{"Null", R"({"now": null})", "now"},
        Malformed{"BoolAsString", R"({"accessibility": "yes"})", "accessibility"},
        Malformed{"DateWithoutZone", R"({"now": "2026-01-05T09:00:00"})", "now"},
        Malformed{"FrameOfThreeNumbers", withWindows(R"([{"id": 1, "pid": 100, "frame": [[0, 0], [100, 100, 1]]}])"),
                  "windows[0].frame"},
        Malformed{"FrameOfStrings", twoDisplays(R"({"id": 2, "frame": [["1440", 0], [10, 10]]})"), "displays[1].frame"},
        Malformed{"NegativeWidth", withWindows(R"([{"id": 1, "pid": 100, "frame": [[0, 0], [-100, 100]]}])"),
                  "windows[0].frame"},
        Malformed{"TitleBarFrameAtDepth",
                  withApp(R"({"name": "A", "path": "/A.app", "titleBar": [{"role": "AXButton", "frame": [[0, 0], [9, 9]]},
                                                                       {"role": "AXGroup", "frame": "top"}]})"),
                  "apps[0].titleBar[1].frame"},
        Malformed{"PreferenceDomainNotAnObject", R"({"preferences": {"com.apple.dock": 3}})",
                  R"(preferences["com.apple.dock"])"},
        Malformed{"NullInsideDefaults", R"({"defaults": {"launcherApps": ["/A.app", null]}})", "defaults.launcherApps[1]"},
        Malformed{"EventOfUnknownName", withEvent(R"({"at": 1, "event": "explode"})"), "timeline[0].event"},
        Malformed{"EventWithoutItsMember", withEvent(R"({"at": 1, "event": "moveWindow", "id": 7})"), "timeline[0].frame"},
        Malformed{"EventWithoutTime", withEvent(R"({"event": "sleep"})"), "timeline[0].at"},
        Malformed{"EventWithAStrayMember", withEvent(R"({"at": 1, "event": "sleep", "id": 7})"), "timeline[0].id"},
        Malformed{"ConnectedDisplayAtDepth",
                  withEvent(R"({"at": 1, "event": "connectDisplay", "display": {"id": 2, "frame": [[1440, 0], [800, 600]],
                                                                            "spaces": [{"id": "x"}]}})"),
                  "timeline[0].display.spaces[0].id"},
        // Numbers out of range for their field.
        Malformed{"DisplayIdBeyond32Bits", twoDisplays(R"({"id": 4294967296, "frame": [[1440, 0], [10, 10]]})"),
                  "displays[1].id"},
        Malformed{"DisplayIdZero", twoDisplays(R"({"id": 0, "frame": [[1440, 0], [10, 10]]})"), "displays[1].id"},
        Malformed{"FractionalWindowId", withWindows(R"([{"id": 1.5, "pid": 100, "frame": [[0, 0], [100, 100]]}])"),
                  "windows[0].id"},
        Malformed{"NegativePid", withApp(R"({"name": "A", "path": "/A.app", "pid": -4})"), "apps[0].pid"},
        Malformed{"NegativeSpaceId", twoDisplays(R"({"id": 2, "frame": [[1440, 0], [10, 10]], "spaces": [{"id": -1}]})"),
                  "displays[1].spaces[0].id"},
        Malformed{"AlphaAboveOne", withWindows(R"([{"id": 1, "pid": 100, "frame": [[0, 0], [100, 100]], "alpha": 1.5}])"),
                  "windows[0].alpha"},
        Malformed{"CoordinateFarAway", twoDisplays(R"({"id": 2, "frame": [[1e7, 0], [10, 10]]})"), "displays[1].frame"},
        Malformed{"NegativeLaunchDelay", withApp(R"({"name": "A", "path": "/A.app", "launchDelay": -1})"),
                  "apps[0].launchDelay"},
        Malformed{"RefusesMoveNotAnAxError", withApp(R"({"name": "A", "path": "/A.app", "refusesMove": 3})"),
                  "apps[0].refusesMove"},
        Malformed{"EventBeforeTheStart", withEvent(R"({"at": -1, "event": "wake"})"), "timeline[0].at"},
        // Beyond what the clocks can count in nanoseconds.
        Malformed{"StartInTheMiddleAges", R"({"now": "1013-06-30T23:59:30Z"})", "now"},
        Malformed{"LaunchedInTheFarFuture",
                  withApp(R"({"name": "A", "path": "/A.app", "pid": 100, "launchDate": "9999-12-31T23:59:59Z"})"),
                  "apps[0].launchDate"},
        // A world no Mac could be in.
        Malformed{"WindowOfAPidNotRunning",
                  withApp(R"({"name": "A", "path": "/A.app", "running": false})",
                          R"([{"id": 1, "pid": 100, "frame": [[0, 0], [100, 100]]}])"),
                  "windows[0].pid"},
        Malformed{"TwoWindowsWithOneId",
                  withWindows(R"([{"id": 4, "pid": 100, "frame": [[0, 0], [100, 100]]},
                                  {"id": 5, "pid": 100, "frame": [[0, 0], [100, 100]]},
                                  {"id": 4, "pid": 100, "frame": [[0, 0], [100, 100]]}])"),
                  "windows[2].id"},
        Malformed{"WindowOnASpaceNoDisplayLists",
                  withWindows(R"([{"id": 1, "pid": 100, "frame": [[0, 0], [100, 100]], "spaces": [1, 99]}])"),
                  "windows[0].spaces[1]"},
        Malformed{"SpaceOnTwoDisplays", twoDisplays(R"({"id": 2, "frame": [[1440, 0], [10, 10]], "spaces": [{"id": 12}]})"),
                  "displays[1].spaces[0].id"},
        Malformed{"CurrentSpaceNotListed",
                  twoDisplays(R"({"id": 2, "frame": [[1440, 0], [10, 10]], "spaces": [{"id": 21}], "currentSpace": 11})"),
                  "displays[1].currentSpace"},
        Malformed{"DisplayWithoutDesktop",
                  twoDisplays(R"({"id": 2, "frame": [[1440, 0], [10, 10]], "spaces": []})"), "displays[1].spaces"},
        Malformed{"FullScreenSpaceWithoutPid",
                  twoDisplays(R"({"id": 2, "frame": [[1440, 0], [10, 10]], "spaces": [{"id": 21}, {"id": 22, "fullscreen": true}]})"),
                  "displays[1].spaces[1]"},
        Malformed{"FullScreenSpaceOfAnAppNotRunning",
                  twoDisplays(R"({"id": 2, "frame": [[1440, 0], [10, 10]], "spaces": [{"id": 21}, {"id": 22, "fullscreen": true, "pid": 5}]})"),
                  "displays[1].spaces[1].pid"},
        Malformed{"TwoDisplaysWithOneId", twoDisplays(R"({"id": 1, "frame": [[1440, 0], [10, 10]]})"), "displays[1].id"},
        Malformed{"OverlappingDisplays", twoDisplays(R"({"id": 2, "frame": [[1000, 0], [1920, 1080]]})"), "displays[1].frame"},
        Malformed{"TwoMainDisplays",
                  R"({"displays": [{"id": 1, "main": true, "frame": [[0, 0], [10, 10]]},
                                   {"id": 2, "main": true, "frame": [[10, 0], [10, 10]]}]})",
                  "displays[1].main"},
        Malformed{"MainDisplayAwayFromTheOrigin", R"({"displays": [{"id": 1, "frame": [[5, 0], [10, 10]]}]})",
                  "displays[0].frame"},
        Malformed{"VisibleFrameOutsideTheFrame",
                  R"({"displays": [{"id": 1, "frame": [[0, 0], [10, 10]], "visibleFrame": [[0, 0], [11, 10]]}]})",
                  "displays[0].visibleFrame"},
        Malformed{"SecondDisplayListsDesktopsThoughShared",
                  R"({"separateSpaces": false, "displays": [{"id": 1, "frame": [[0, 0], [10, 10]]},
                                                           {"id": 2, "frame": [[10, 0], [10, 10]], "spaces": [{"id": 5}]}]})",
                  "displays[1].spaces"},
        Malformed{"TwoAppsWithOnePid",
                  withApp(notes + R"(, {"name": "Mail", "path": "/Applications/Mail.app", "pid": 100})"), "apps[1].pid"},
        Malformed{"AppWithThisProcesssPid", withApp(R"({"name": "A", "path": "/A.app", "pid": 1000})"), "apps[0].pid"},
        Malformed{"HiddenAppNotRunning", withApp(R"({"name": "A", "path": "/A.app", "hidden": true})"), "apps[0].hidden"},
        Malformed{"LauncherOfNothingInstalled", withApp(R"({"name": "A", "path": "/A.app", "launches": "/B.app"})"),
                  "apps[0].launches"},
        Malformed{"MaxSizeBelowMinSize",
                  withApp(R"({"name": "A", "path": "/A.app", "minSize": [400, 300], "maxSize": [300, 300]})"),
                  "apps[0].maxSize"},
        Malformed{"EventThatDoesNotFitItsTime",
                  withEvent(R"({"at": 1, "event": "closeWindow", "id": 7}, {"at": 2, "event": "moveWindow", "id": 7,
                                "frame": [[0, 30], [10, 10]]})"),
                  "timeline[1]"},
        Malformed{"DisconnectingTheOnlyDisplay", withEvent(R"({"at": 1, "event": "disconnectDisplay", "id": 1})"),
                  "timeline[0]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WorldFileTest, NestingTooDeepIsRefusedWithoutExhaustingTheStack) {
    const auto world = sim::readWorld(nested(200'000));
    ASSERT_FALSE(world);
    EXPECT_THAT(world.message(), StartsWith("defaults.deep[0][0]"));
    EXPECT_THAT(world.message(), HasSubstr("nested more than 64 levels deep"));
    // Nesting within the limit is a world like any other.
    EXPECT_TRUE(sim::readWorld(nested(60)));
}

TEST(WorldFileTest, AMessageAboutBrokenTextIsItselfValidText) {
    const auto world = sim::readWorld("{\"apps\": [{\"name\": \"Caf\xC3(\", \"path\": \"/A.app\"}]}");
    ASSERT_FALSE(world);
    EXPECT_THAT(world.message(), HasSubstr("UTF-8"));
    EXPECT_NO_THROW((void)nlohmann::json(world.message()).dump()) << "the message is not valid UTF-8";
}

// ---- What a world file may leave out ----------------------------------------------------------------

struct Defaulted {
    const char* what;
    std::string json;
    std::function<void(const sim::World&)> check;
};

TEST(WorldFileTest, MembersLeftOutTakeTheirDefaults) {
    using sim::World;
    const Defaulted cases[] = {
        {"an empty object: one laptop display with one desktop", "{}",
         [](const World& w) {
             ASSERT_EQ(w.displays.size(), 1u);
             const auto& d = w.displays[0];
             EXPECT_TRUE(d.main);
             EXPECT_EQ(d.frame, Rect(0, 0, 1440, 900));
             EXPECT_EQ(d.visibleFrame, Rect(0, 25, 1440, 875)); // less the menu bar
             ASSERT_EQ(d.spaces.size(), 1u);
             EXPECT_FALSE(d.spaces[0].fullscreen);
             EXPECT_EQ(d.currentSpace, d.spaces[0].id);
             EXPECT_EQ(formatTimestamp(w.now), "2026-01-05T09:00:00Z");
             EXPECT_EQ(w.processID, 1000);
             EXPECT_TRUE(w.accessibility && w.screenRecording && w.separateSpaces && w.desktopFunctions);
             EXPECT_FALSE(w.asleep);
             EXPECT_THAT(w.apps, IsEmpty());
             EXPECT_THAT(w.windows, IsEmpty());
             EXPECT_THAT(w.timeline, IsEmpty());
             EXPECT_TRUE(w.defaults.empty() && w.preferences.empty());
         }},
        {"a display with only an id and a frame",
         R"({"displays": [{"id": 7, "frame": [[0, 0], [1920, 1080]]}]})",
         [](const World& w) {
             const auto& d = w.displays.at(0);
             EXPECT_EQ(d.name, "Display 7");
             EXPECT_EQ(d.uuid, std::nullopt);
             EXPECT_EQ(d.vendor + d.model + d.serial, 0u);
             EXPECT_TRUE(d.main); // the first display holds the menu bar unless another says so
             EXPECT_TRUE(d.screen);
             EXPECT_EQ(d.visibleFrame, Rect(0, 25, 1920, 1055));
         }},
        {"a display lower than the menu bar is all menu bar",
         R"({"displays": [{"id": 1, "frame": [[0, 0], [1440, 20]]}]})",
         [](const World& w) { EXPECT_EQ(w.displays.at(0).visibleFrame, Rect(0, 20, 1440, 0)); }},
        {"another display says it is the main one",
         R"({"displays": [{"id": 1, "frame": [[-1440, 0], [1440, 900]]}, {"id": 2, "main": true, "frame": [[0, 0], [800, 600]]}]})",
         [](const World& w) {
             EXPECT_FALSE(w.displays.at(0).main);
             EXPECT_TRUE(w.displays.at(1).main);
         }},
        {"desktops left out get ids after every id the file names, timeline displays included",
         R"({"displays": [{"id": 1, "frame": [[0, 0], [800, 600]], "spaces": [{"id": 40}]},
                          {"id": 2, "frame": [[800, 0], [800, 600]]}],
             "timeline": [{"at": 1, "event": "connectDisplay", "display": {"id": 3, "frame": [[1600, 0], [800, 600]]}},
                          {"at": 2, "event": "connectDisplay", "display": {"id": 4, "frame": [[2400, 0], [800, 600]],
                                                                          "spaces": [{"id": 55}]}}]})",
         [](const World& w) {
             EXPECT_EQ(w.displays.at(1).spaces.at(0).id, 56u);
             EXPECT_EQ(w.displays.at(1).currentSpace, 56u);
             const auto& connected = std::get<sim::events::ConnectDisplay>(w.timeline.at(0).event).display;
             EXPECT_EQ(connected.spaces.at(0).id, 57u);
             EXPECT_EQ(connected.currentSpace, 57u);
             EXPECT_FALSE(connected.main);
         }},
        {"the current space is the first ordinary desktop",
         R"({"displays": [{"id": 1, "frame": [[0, 0], [800, 600]],
                           "spaces": [{"id": 5, "fullscreen": true, "pid": 100}, {"id": 6}, {"id": 7}]}],
             "apps": [{"name": "Keynote", "path": "/Applications/Keynote.app", "pid": 100}]})",
         [](const World& w) { EXPECT_EQ(w.displays.at(0).currentSpace, 6u); }},
        {"with shared desktops only the main display lists them",
         R"({"separateSpaces": false, "displays": [{"id": 1, "frame": [[0, 0], [800, 600]]}, {"id": 2, "frame": [[800, 0], [800, 600]]}]})",
         [](const World& w) {
             EXPECT_EQ(w.displays.at(0).spaces.size(), 1u);
             EXPECT_THAT(w.displays.at(1).spaces, IsEmpty());
             EXPECT_EQ(w.displays.at(1).currentSpace, 0u);
         }},
        {"an app with a pid is running, launched when the world starts, and shows one untitled window",
         R"({"now": "2026-02-01T10:00:00Z",
             "apps": [{"name": "Notes", "path": "/Applications/Notes.app", "pid": 100},
                      {"name": "Mail", "path": "/Applications/Mail.app"}]})",
         [](const World& w) {
             const auto& running = w.apps.at(0);
             EXPECT_TRUE(running.running);
             EXPECT_EQ(running.launchDate, w.now);
             EXPECT_TRUE(running.regular);
             EXPECT_FALSE(running.hidden);
             EXPECT_EQ(running.bundleID, std::nullopt);
             EXPECT_THAT(running.opensWindows, ElementsAre(sim::OpenedWindow{"", std::nullopt}));
             EXPECT_EQ(running.launchDelay, 1.0);
             EXPECT_EQ(running.behaviour, sim::AppBehaviour{});
             const auto& installed = w.apps.at(1);
             EXPECT_FALSE(installed.running);
             EXPECT_EQ(installed.pid, 0);
             EXPECT_EQ(installed.launchDate, std::nullopt);
         }},
        {"a window without spaces is on the desktop shown where it lies, or on the main display's",
         R"({"displays": [{"id": 1, "frame": [[0, 0], [800, 600]], "spaces": [{"id": 11}, {"id": 12}], "currentSpace": 12},
                          {"id": 2, "frame": [[800, 0], [800, 600]], "spaces": [{"id": 21}, {"id": 22}], "currentSpace": 22}],
             "apps": [{"name": "Notes", "path": "/Applications/Notes.app", "pid": 100}],
             "windows": [{"id": 1, "pid": 100, "frame": [[900, 100], [300, 200]]},
                         {"id": 2, "pid": 100, "frame": [[5000, 100], [300, 200]]}]})",
         [](const World& w) {
             EXPECT_THAT(w.windows.at(0).spaces, ElementsAre(22u));
             EXPECT_THAT(w.windows.at(1).spaces, ElementsAre(12u));
             EXPECT_EQ(w.windows.at(0).title, "");
             EXPECT_FALSE(w.windows.at(0).minimized);
             EXPECT_EQ(w.windows.at(0).layer, 0);
             EXPECT_EQ(w.windows.at(0).alpha, 1.0);
         }},
        {"with shared desktops a window anywhere is on the main display's shown desktop",
         R"({"separateSpaces": false,
             "displays": [{"id": 1, "frame": [[0, 0], [800, 600]], "spaces": [{"id": 11}, {"id": 12}], "currentSpace": 12},
                          {"id": 2, "frame": [[800, 0], [800, 600]]}],
             "apps": [{"name": "Notes", "path": "/Applications/Notes.app", "pid": 100}],
             "windows": [{"id": 1, "pid": 100, "frame": [[900, 100], [300, 200]]}]})",
         [](const World& w) { EXPECT_THAT(w.windows.at(0).spaces, ElementsAre(12u)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto world = sim::readWorld(c.json);
        ASSERT_TRUE(world) << world.message();
        c.check(*world);
    }
}

// ---- Writing ---------------------------------------------------------------------------------------------

// Every member the reader knows, none at its default.
constexpr std::string_view everything = R"({
  "now": "2026-04-01T08:15:00Z",
  "processID": 4242,
  "accessibility": false,
  "screenRecording": false,
  "separateSpaces": true,
  "desktopFunctions": true,
  "asleep": true,
  "displays": [
    {"id": 1, "uuid": "LAPTOP", "vendor": 1552, "model": 41008, "serial": 3, "name": "Built-in", "main": true,
     "frame": [[0, 0], [1512, 982]], "visibleFrame": [[0, 25], [1512, 887]],
     "spaces": [{"id": 1}, {"id": 2, "uuid": "FS", "fullscreen": true, "pid": 100}, {"id": 3, "uuid": "D3"}],
     "currentSpace": 3},
    {"id": 2, "name": "Projector", "frame": [[1512, 0.5], [1024.25, 768]], "screen": false, "spaces": [{"id": 9}]}
  ],
  "apps": [
    {"name": "Keynote", "bundleID": "com.apple.iWork.Keynote", "path": "/Applications/Keynote.app", "running": true,
     "pid": 100, "hidden": true, "launchDate": "2026-04-01T07:00:00Z",
     "opensWindows": [{"title": "Welcome", "frame": [[10, 40], [640, 480]]}, {}], "launchDelay": 2.5,
     "refusesMove": -25205, "notResponding": true, "fixedSize": true, "minSize": [200, 100], "maxSize": [900, 700],
     "offset": [0, -28], "snapsBack": true, "hidesWindows": true, "enhancedUserInterface": true,
     "titleBar": [{"role": "AXToolbar", "frame": [[0, 0], [640, 52]]},
                  {"role": "AXButton", "frame": [[300, 10], [40, 30]], "actions": ["AXPress", "AXShowMenu"]}],
     "undraggable": true},
    {"name": "Helper", "path": "/Applications/Helper.app", "pid": 200, "regular": false, "opensWindows": []},
    {"name": "Toolbox", "path": "/Applications/Toolbox.app", "launches": "/Applications/Keynote.app"}
  ],
  "windows": [
    {"id": 31, "pid": 100, "title": "Deck", "frame": [[0, 0], [1512, 982]], "spaces": [2]},
    {"id": 32, "pid": 100, "title": "Notes — 2", "frame": [[1600, 100.75], [500, 400]], "spaces": [9], "minimized": true},
    {"id": 33, "pid": 200, "frame": [[10, 40], [300, 200]], "spaces": [1, 3], "layer": 8, "alpha": 0.25},
    {"id": 34, "pid": 4242, "title": "Quiltwright", "frame": [[100, 100], [800, 600]], "spaces": []}
  ],
  "defaults": {"autoRestoreEnabled": true, "launcherApps": ["/Applications/Toolbox.app"], "ratio": 0.5,
               "desktopNames": {"D3": "Work"}, "count": -3},
  "preferences": {"com.apple.dock": {"mru-spaces": false}},
  "loginItem": {"status": "requiresApproval", "requiresApproval": true, "error": "Operation not permitted",
                "settingsOpened": 2},
  "openedURLs": ["x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"],
  "accessibilityPrompts": 1,
  "screenCaptureRequests": 2,
  "lastPID": 300,
  "lastWindowID": 40,
  "timeline": [
    {"at": 0.5, "event": "wake"},
    {"at": 1, "event": "connectDisplay", "display": {"id": 3, "uuid": "NEW", "frame": [[-800, 0], [800, 600]],
                                                      "spaces": [{"id": 50}, {"id": 51}], "currentSpace": 51}},
    {"at": 2, "event": "moveDisplay", "id": 2, "frame": [[1512, 100], [1024, 768]]},
    {"at": 3, "event": "showDesktop", "display": 1, "space": 1},
    {"at": 4, "event": "moveWindow", "id": 33, "frame": [[20, 50], [300, 200]]},
    {"at": 5, "event": "closeWindow", "id": 32},
    {"at": 6, "event": "launchApp", "path": "/Applications/Toolbox.app"},
    {"at": 7, "event": "finishLaunch", "pid": 200},
    {"at": 8, "event": "quitApp", "pid": 100},
    {"at": 9, "event": "disconnectDisplay", "id": 3},
    {"at": 10, "event": "sleep"}
  ]
})";

sim::World readOrFail(std::string_view json) {
    auto world = sim::readWorld(json);
    if (!world) {
        ADD_FAILURE() << world.message();
        return sim::World{};
    }
    return std::move(world).value();
}

TEST(WorldFileTest, AWorldWrittenAndReadAgainIsTheSame) {
    const sim::World first = readOrFail(everything);
    const std::string text = sim::writeWorld(first);
    const sim::World second = readOrFail(text);
    EXPECT_EQ(sim::writeWorld(second), text);
    EXPECT_TRUE(second == first);
}

TEST(WorldFileTest, TheDemoWorldWrittenAndReadAgainIsTheSame) {
    const sim::World demo = sim::demoWorld();
    const sim::World again = readOrFail(sim::writeWorld(demo));
    EXPECT_EQ(sim::writeWorld(again), sim::writeWorld(demo));
    EXPECT_TRUE(again == demo);
}

TEST(WorldFileTest, WritingLeavesOutWhatHoldsItsDefault) {
    const auto text = sim::writeWorld(readOrFail(R"({"apps": [{"name": "Notes", "path": "/Applications/Notes.app"}],
                                                   "displays": [{"id": 1, "frame": [[0, 0], [800, 600]]}]})"));
    for (const char* member : {"visibleFrame", "currentSpace", "launchDelay", "opensWindows", "minimized", "alpha",
                               "timeline", "processID"})
        EXPECT_THAT(text, ::testing::Not(HasSubstr(member))) << text;
}

TEST(WorldFileTest, TheDocumentedExampleIsAWorld) {
    std::ifstream file(std::string(QW_SOURCE_DIR) + "/docs/world-file.md");
    ASSERT_TRUE(file);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto start = text.find("```json\n");
    ASSERT_NE(start, std::string::npos);
    const auto end = text.find("```", start + 8);
    const auto world = sim::readWorld(std::string_view(text).substr(start + 8, end - start - 8));
    ASSERT_TRUE(world) << world.message();
    EXPECT_EQ(world->timeline.size(), 3u);
}

} // namespace
} // namespace qw
