#include "system/skylight.h"

#include "platform/desktop_functions.h"
#include "platform/workspace.h"
#include "system/simulated_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace qw {
namespace {

using platform::PropertyValue;
using testing::SimulatedWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

using Dictionary = PropertyValue::Dictionary;
using Array = PropertyValue::Array;

struct SpaceSummary {
    int index;
    std::optional<int> number;
    std::string name;
    bool isFullscreen;
    bool operator==(const SpaceSummary&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const SpaceSummary& s) {
        return out << "{" << s.index << ", " << (s.number ? std::to_string(*s.number) : "none") << ", " << s.name
                   << (s.isFullscreen ? ", fullscreen}" : "}");
    }
};

std::vector<SpaceSummary> summary(const std::vector<SpaceInfo>& spaces) {
    std::vector<SpaceSummary> result;
    for (const auto& s : spaces) result.push_back({s.index, s.number, s.name, s.isFullscreen});
    return result;
}

// ---- Against the simulated Mac ------------------------------------------------------------------------

constexpr std::string_view twoDisplays = R"({
  "displays": [
    {"id": 1, "uuid": "DISPLAY-A", "main": true, "frame": [[0, 0], [1440, 900]],
     "spaces": [{"id": 11}, {"id": 12, "uuid": "FS", "fullscreen": true, "pid": 100}, {"id": 13, "uuid": "S13"}],
     "currentSpace": 13},
    {"id": 2, "uuid": "DISPLAY-B", "frame": [[1440, 0], [1920, 1080]],
     "spaces": [{"id": 21, "uuid": "S21"}, {"id": 22, "uuid": "S22"}]}
  ],
  "apps": [{"name": "Keynote", "bundleID": "com.apple.iWork.Keynote", "path": "/Applications/Keynote.app", "pid": 100}],
  "windows": [
    {"id": 5, "pid": 100, "frame": [[100, 100], [800, 600]], "spaces": [13]},
    {"id": 6, "pid": 100, "frame": [[100, 100], [800, 600]], "spaces": [11, 13, 21, 22]}
  ]
})";

TEST(SkyLightTest, NumbersDesktopsAcrossDisplaysInReplyOrderAndNamesFullScreenApps) {
    SimulatedWorld world(twoDisplays);
    const auto platform = world.platform();
    const SkyLight skyLight(platform.desktopFunctions, platform.workspace);

    const auto displays = skyLight.spacesByDisplay();
    ASSERT_EQ(displays.size(), 2u);
    const auto& a = displays.at("DISPLAY-A");
    EXPECT_EQ(a.current, 13u);
    EXPECT_THAT(summary(a.spaces), ElementsAre(SpaceSummary{1, 1, "Desktop 1", false},
                                               SpaceSummary{2, std::nullopt, "Keynote", true},
                                               SpaceSummary{3, 2, "Desktop 2", false}));
    EXPECT_EQ(a.spaces[0].uuid, "");
    EXPECT_EQ(a.spaces[1].id, 12u);
    EXPECT_EQ(a.spaces[1].uuid, "FS");
    EXPECT_FALSE(a.spaces[2].nickname);

    const auto& b = displays.at("DISPLAY-B");
    EXPECT_EQ(b.current, 21u); // the first ordinary desktop, as the world file's default
    EXPECT_THAT(summary(b.spaces), ElementsAre(SpaceSummary{1, 3, "Desktop 3", false},
                                               SpaceSummary{2, 4, "Desktop 4", false}));

    EXPECT_THAT(skyLight.spacesForWindow(5), ElementsAre(13u));
    EXPECT_THAT(skyLight.spacesForWindow(6), ElementsAre(11u, 13u, 21u, 22u));
    EXPECT_THAT(skyLight.spacesForWindow(99), IsEmpty());
}

TEST(SkyLightTest, SharedDesktopsAreListedOnceUnderMain) {
    SimulatedWorld world(R"({
      "separateSpaces": false,
      "displays": [
        {"id": 1, "uuid": "DISPLAY-A", "main": true, "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}, {"id": 12}]},
        {"id": 2, "uuid": "DISPLAY-B", "frame": [[1440, 0], [1920, 1080]]}
      ]
    })");
    const auto platform = world.platform();
    const SkyLight skyLight(platform.desktopFunctions, platform.workspace);

    const auto displays = skyLight.spacesByDisplay();
    ASSERT_EQ(displays.size(), 1u);
    EXPECT_EQ(displays.begin()->first, "Main");
    EXPECT_EQ(displays.begin()->second.current, 11u);
    EXPECT_THAT(summary(displays.begin()->second.spaces),
                ElementsAre(SpaceSummary{1, 1, "Desktop 1", false}, SpaceSummary{2, 2, "Desktop 2", false}));
}

TEST(SkyLightTest, MissingDesktopFunctionsAnswerEmpty) {
    auto parsed = SimulatedWorld::parse(twoDisplays);
    parsed.desktopFunctions = false;
    SimulatedWorld world(std::move(parsed));
    const auto platform = world.platform();
    const SkyLight skyLight(platform.desktopFunctions, platform.workspace);

    EXPECT_THAT(skyLight.spacesByDisplay(), IsEmpty());
    EXPECT_THAT(skyLight.spacesForWindow(5), IsEmpty());
    EXPECT_THAT(skyLight.spacesForWindow(6), IsEmpty());
}

// ---- Replies the simulated Mac never gives ------------------------------------------------------------

// The dynamic loader's view with canned replies, for the malformed shapes a real window server could
// send and a consistent simulation cannot.
class CannedDesktopFunctions final : public platform::DesktopFunctions {
public:
    bool loads = true;
    std::set<std::string, std::less<>> symbols{"SLSMainConnectionID", "SLSCopyManagedDisplaySpaces",
                                               "SLSCopySpacesForWindows"};
    std::optional<PropertyValue> displaysReply;
    std::optional<PropertyValue> windowsReply;

    int loadCalls = 0;
    std::map<std::string, int, std::less<>> lookups;
    std::vector<std::int32_t> connectionsPassed;
    std::optional<std::int32_t> selectorPassed;
    std::optional<PropertyValue> windowNumbersPassed;

    bool loadFramework(const std::string& path) override {
        ++loadCalls;
        EXPECT_EQ(path, "/System/Library/PrivateFrameworks/SkyLight.framework/SkyLight");
        return loads;
    }
    bool hasSymbol(std::string_view name) override {
        ++lookups[std::string(name)];
        return symbols.contains(name);
    }
    std::int32_t mainConnectionID() override {
        EXPECT_TRUE(symbols.contains("SLSMainConnectionID"));
        return 42;
    }
    std::optional<PropertyValue> copyManagedDisplaySpaces(std::int32_t connection) override {
        EXPECT_TRUE(symbols.contains("SLSCopyManagedDisplaySpaces"));
        connectionsPassed.push_back(connection);
        return displaysReply;
    }
    std::optional<PropertyValue> copySpacesForWindows(std::int32_t connection, std::int32_t selector,
                                                      const PropertyValue& windowNumbers) override {
        EXPECT_TRUE(symbols.contains("SLSCopySpacesForWindows"));
        connectionsPassed.push_back(connection);
        selectorPassed = selector;
        windowNumbersPassed = windowNumbers;
        return windowsReply;
    }
};

class NoApps final : public platform::Workspace {
public:
    std::vector<platform::RunningApplication> runningApplications() override { return {}; }
    std::optional<platform::RunningApplication> runningApplication(ProcessID pid) override {
        if (pid != 7) return std::nullopt;
        platform::RunningApplication app;
        app.pid = 7;
        app.localizedName = "";
        return app;
    }
    bool openURL(const std::string&) override { return false; }
};

PropertyValue display(const char* identifier, Array spaces, PropertyValue current = Dictionary{{"id64", 1}}) {
    return Dictionary{{"Display Identifier", identifier}, {"Current Space", std::move(current)}, {"Spaces", std::move(spaces)}};
}
PropertyValue desktop(std::uint64_t id) { return Dictionary{{"id64", id}, {"type", 0}}; }

TEST(SkyLightTest, ResolvesEachFunctionOnceAndKeepsAnAbsentOneAbsent) {
    CannedDesktopFunctions functions;
    functions.symbols.erase("SLSMainConnectionID");
    functions.displaysReply = Array{};
    functions.windowsReply = Array{};
    NoApps apps;
    const SkyLight skyLight(functions, apps);

    for (int i = 0; i < 3; ++i) {
        skyLight.spacesByDisplay();
        skyLight.spacesForWindow(9);
    }
    EXPECT_EQ(functions.loadCalls, 1);
    EXPECT_EQ(functions.lookups, (std::map<std::string, int, std::less<>>{
                                     {"SLSMainConnectionID", 1}, {"SLSCopyManagedDisplaySpaces", 1}, {"SLSCopySpacesForWindows", 1}}));
    // Without the connection function, 0 stands for this process.
    EXPECT_THAT(functions.connectionsPassed, ::testing::Each(0));
    EXPECT_EQ(functions.selectorPassed, 7);
    EXPECT_EQ(functions.windowNumbersPassed, PropertyValue(Array{PropertyValue(9)}));
}

TEST(SkyLightTest, PassesTheMainConnection) {
    CannedDesktopFunctions functions;
    functions.displaysReply = Array{};
    NoApps apps;
    const SkyLight skyLight(functions, apps);
    skyLight.spacesByDisplay();
    EXPECT_THAT(functions.connectionsPassed, ElementsAre(42));
}

TEST(SkyLightTest, AFrameworkThatDoesNotLoadIsLoadedOnceAndFindsNothing) {
    CannedDesktopFunctions functions;
    functions.loads = false;
    NoApps apps;
    const SkyLight skyLight(functions, apps);
    EXPECT_THAT(skyLight.spacesByDisplay(), IsEmpty());
    EXPECT_THAT(skyLight.spacesForWindow(1), IsEmpty());
    EXPECT_THAT(skyLight.spacesByDisplay(), IsEmpty());
    EXPECT_EQ(functions.loadCalls, 1);
    EXPECT_THAT(functions.lookups, IsEmpty());
}

TEST(SkyLightTest, AMissingFunctionAnswersEmptyWithoutBeingCalled) {
    CannedDesktopFunctions functions;
    functions.symbols = {"SLSMainConnectionID"};
    NoApps apps;
    const SkyLight skyLight(functions, apps);
    EXPECT_THAT(skyLight.spacesByDisplay(), IsEmpty());
    EXPECT_THAT(skyLight.spacesForWindow(1), IsEmpty());
    EXPECT_THAT(functions.connectionsPassed, IsEmpty()); // the canned functions fail the test if called
}

struct MalformedDisplays {
    const char* name;
    std::optional<PropertyValue> reply;
    std::map<std::string, SkyLight::DisplaySpaces> expected;
};

SpaceInfo ordinary(std::uint64_t id, int index, int number, std::string uuid = "") {
    SpaceInfo s;
    s.id = id;
    s.uuid = std::move(uuid);
    s.index = index;
    s.number = number;
    s.name = "Desktop " + std::to_string(number);
    return s;
}
SpaceInfo fullscreen(std::uint64_t id, int index, std::string name) {
    SpaceInfo s;
    s.id = id;
    s.index = index;
    s.isFullscreen = true;
    s.name = std::move(name);
    return s;
}

class MalformedDisplaysTest : public ::testing::TestWithParam<MalformedDisplays> {};

TEST_P(MalformedDisplaysTest, ReadsWhatIsWellFormedAndDefaultsTheRest) {
    CannedDesktopFunctions functions;
    functions.displaysReply = GetParam().reply;
    NoApps apps;
    const SkyLight skyLight(functions, apps);
    const auto result = skyLight.spacesByDisplay();
    const std::map<std::string, SkyLight::DisplaySpaces> actual(result.begin(), result.end());
    EXPECT_EQ(actual, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, MalformedDisplaysTest,
    ::testing::Values(
        MalformedDisplays{"nothing", std::nullopt, {}},
        MalformedDisplays{"not_an_array", PropertyValue(Dictionary{{"Display Identifier", "A"}}), {}},
        MalformedDisplays{"an_element_not_a_dictionary", PropertyValue(Array{display("A", {desktop(1)}), 5}), {}},
        MalformedDisplays{
            "skipped_displays_do_not_advance_the_counter",
            PropertyValue(Array{Dictionary{}, Dictionary{{"Spaces", Array{desktop(1)}}},
                                Dictionary{{"Display Identifier", 3}, {"Spaces", Array{desktop(2)}}},
                                display("A", {desktop(3)})}),
            {{"A", {1, {ordinary(3, 1, 1)}}}}},
        MalformedDisplays{"current_space_missing_or_mistyped",
                          PropertyValue(Array{
                              Dictionary{{"Display Identifier", "A"}, {"Spaces", Array{desktop(1)}}},
                              display("B", {desktop(2)}, "id64"),
                              display("C", {desktop(3)}, Dictionary{{"id64", "3"}}),
                          }),
                          {{"A", {0, {ordinary(1, 1, 1)}}}, {"B", {0, {ordinary(2, 1, 2)}}}, {"C", {0, {ordinary(3, 1, 3)}}}}},
        MalformedDisplays{"spaces_missing_or_not_an_array_of_dictionaries",
                          PropertyValue(Array{
                              Dictionary{{"Display Identifier", "A"}},
                              Dictionary{{"Display Identifier", "B"}, {"Spaces", desktop(5)}},
                              display("C", {desktop(6), "seven"}),
                              display("D", {desktop(8)}),
                          }),
                          {{"A", {0, {}}}, {"B", {0, {}}}, {"C", {1, {}}}, {"D", {1, {ordinary(8, 1, 1)}}}}},
        MalformedDisplays{
            "space_members_mistyped",
            PropertyValue(Array{display(
                "A", {Dictionary{},                                                       // nothing: an ordinary desktop, id 0
                      Dictionary{{"id64", "9"}, {"uuid", 9}, {"type", "4"}},              // wrong types: defaults
                      Dictionary{{"id64", 10}, {"type", 4.0}, {"pid", 7}},                // a real 4; an app without a name
                      Dictionary{{"id64", 11}, {"type", 4}, {"pid", "7"}},                // no usable pid
                      Dictionary{{"id64", 12}, {"type", 4}, {"pid", 8}},                  // no such app
                      Dictionary{{"id64", 13}, {"uuid", "U13"}, {"type", 1}}})}),         // another type: ordinary
            {{"A", {1,
                    {ordinary(0, 1, 1), ordinary(0, 2, 2), fullscreen(10, 3, "Full-screen app"),
                     fullscreen(11, 4, "Full-screen app"), fullscreen(12, 5, "Full-screen app"), ordinary(13, 6, 3, "U13")}}}}},
        MalformedDisplays{"a_later_duplicate_replaces_the_earlier",
                          PropertyValue(Array{display("A", {desktop(1)}), display("A", {desktop(2)})}),
                          {{"A", {1, {ordinary(2, 1, 2)}}}}},
        MalformedDisplays{"one_entry_under_main", PropertyValue(Array{display("Main", {desktop(1), desktop(2)})}),
                          {{"Main", {1, {ordinary(1, 1, 1), ordinary(2, 2, 2)}}}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SkyLightTest, ReadsWindowSpacesFromAnArrayOfNumbers) {
    const auto spacesFrom = [](std::optional<PropertyValue> reply) {
        CannedDesktopFunctions functions;
        functions.windowsReply = std::move(reply);
        NoApps apps;
        return SkyLight(functions, apps).spacesForWindow(3);
    };
    EXPECT_THAT(spacesFrom(std::nullopt), IsEmpty());
    EXPECT_THAT(spacesFrom(PropertyValue(5)), IsEmpty());
    EXPECT_THAT(spacesFrom(PropertyValue(Array{})), IsEmpty());
    // Unsigned 64-bit ids, in order; an element that is no number has no id to give.
    EXPECT_THAT(spacesFrom(PropertyValue(Array{PropertyValue(std::uint64_t{0xFFFF'FFFF'FFFF'FFF0}), "x", 3})),
                ElementsAre(0xFFFF'FFFF'FFFF'FFF0u, 3u));
}

} // namespace
} // namespace qw
