#include "cli/run.h"

#include "platform/sim/simulated_mac.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

namespace qw {
namespace {

using namespace test_support;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Two displays, the second listed first by the system; a full-screen space; a nickname; a minimized
// window that the inventory leaves out.
constexpr const char* twoDisplays = R"({
  "displays": [
    {"id": 2, "uuid": "SIDE", "name": "Side", "frame": [[1440, 0], [1920, 1080]],
     "spaces": [{"id": 21}, {"id": 22, "uuid": "S22"}], "currentSpace": 22},
    {"id": 1, "uuid": "LAPTOP", "name": "Laptop", "main": true, "frame": [[0, 0], [1440, 900]],
     "spaces": [{"id": 11}, {"id": 12, "fullscreen": true, "pid": 100}]}
  ],
  "apps": [{"name": "Keynote", "bundleID": "com.apple.Keynote", "path": "/Applications/Keynote.app", "pid": 100}],
  "windows": [
    {"id": 5, "pid": 100, "title": "Slides", "frame": [[1500, 40], [900, 700]], "spaces": [22]},
    {"id": 6, "pid": 100, "title": "Notes", "frame": [[40, 40], [600, 400]], "spaces": [11], "minimized": true}
  ],
  "defaults": {"desktopNames": {"S22": "Talk"}}
})";

class WorldCommandsTest : public ::testing::Test {
protected:
    Outcome quiltwright(std::vector<std::string> args) {
        args.insert(args.begin(), {"--layouts", (folder / "layouts.json").string()});
        std::ostringstream out, err;
        const int status = cli::run(args, out, err);
        return {status, out.str(), err.str()};
    }

    TempFolder folder;
};

TEST_F(WorldCommandsTest, InventoryJsonGivesDisplaysWithDesktopsThenRecordableWindows) {
    writeFile(folder / "world.json", twoDisplays);
    const auto run = quiltwright({"--world", (folder / "world.json").string(), "inventory", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.err, IsEmpty());
    const auto printed = nlohmann::json::parse(run.out);

    const auto& displays = printed.at("displays");
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0]["uuid"], "LAPTOP"); // by left edge
    EXPECT_EQ(displays[0]["frame"], nlohmann::json::parse("[[0,0],[1440,900]]"));
    EXPECT_EQ(displays[0]["visibleFrame"], nlohmann::json::parse("[[0,25],[1440,875]]"));
    EXPECT_EQ(displays[0]["currentSpaceID"], 11);
    EXPECT_EQ(displays[0]["spaces"][0]["name"], "Desktop 3"); // the side display is listed first
    EXPECT_EQ(displays[0]["spaces"][1]["name"], "Keynote");
    EXPECT_FALSE(displays[0]["spaces"][1].contains("number"));
    EXPECT_EQ(displays[1]["spaces"][1]["nickname"], "Talk");
    EXPECT_EQ(displays[1]["spaces"][1]["number"], 2);

    const auto& windows = printed.at("windows");
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0]["id"], 5);
    EXPECT_EQ(windows[0]["bundleID"], "com.apple.Keynote");
    EXPECT_EQ(windows[0]["spaceIDs"], nlohmann::json::parse("[22]"));
    EXPECT_EQ(windows[0]["isOnScreen"], true);
}

TEST_F(WorldCommandsTest, InventoryTextNamesDesktopsByNickname) {
    writeFile(folder / "world.json", twoDisplays);
    const auto run = quiltwright({"--world", (folder / "world.json").string(), "inventory"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("    2. Talk (Desktop 2), id 22, shown\n"));
    EXPECT_THAT(run.out, HasSubstr("  5  Keynote \u201CSlides\u201D  [[1500,40],[900,700]], desktops 22, on screen\n"));
}

TEST_F(WorldCommandsTest, WithoutAWorldTheDemoWorldStandsIn) {
    const auto run = quiltwright({"inventory", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto printed = nlohmann::json::parse(run.out);
    EXPECT_GE(printed["displays"].size(), 2u);
    EXPECT_GE(printed["windows"].size(), 6u);
}

TEST_F(WorldCommandsTest, ABrokenWorldFileExitsWithTwoAndNamesTheMember) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"windows": [{"id": 1, "pid": 5, "frame": [[0, 0], [10, 10]]}]})", "windows[0].pid"},
        {R"({"displays": [{"id": 1, "frame": [[0, 0], [1440]]}]})", "displays[0].frame"},
        {R"({"colour": "blue"})", "colour"},
        {"{", "world file"},
    };
    for (const auto& [text, names] : cases) {
        writeFile(folder / "world.json", text);
        const auto run = quiltwright({"--world", (folder / "world.json").string(), "inventory"});
        EXPECT_EQ(run.status, 2) << text;
        EXPECT_THAT(run.err, HasSubstr(names)) << text;
        EXPECT_THAT(run.out, IsEmpty());
    }
    const auto missing = quiltwright({"--world", (folder / "nowhere.json").string(), "layouts"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_THAT(missing.err, HasSubstr("nowhere.json"));
}

TEST_F(WorldCommandsTest, WorldOutWritesAWorldThatAnotherRunContinuesFrom) {
    writeFile(folder / "world.json", twoDisplays);
    const auto first = quiltwright({"--world", (folder / "world.json").string(), "--world-out",
                                    (folder / "out.json").string(), "layouts"});
    ASSERT_EQ(first.status, 0) << first.err;

    const auto written = sim::readWorldFile(folder / "out.json");
    ASSERT_TRUE(written) << written.message();
    const auto given = sim::readWorld(twoDisplays);
    ASSERT_TRUE(given);
    EXPECT_EQ(written->displays, given->displays);
    EXPECT_EQ(written->windows, given->windows);
    EXPECT_EQ(written->defaults, given->defaults);

    const auto second = quiltwright({"--world", (folder / "out.json").string(), "inventory", "--json"});
    const auto third = quiltwright({"--world", (folder / "world.json").string(), "inventory", "--json"});
    EXPECT_EQ(second.out, third.out);
}

} // namespace
} // namespace qw
