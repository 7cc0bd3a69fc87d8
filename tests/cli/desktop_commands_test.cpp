#include "cli/run.h"

#include "platform/sim/simulated_mac.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace qw {
namespace {

using namespace test_support;
using ::testing::HasSubstr;

struct Ran {
    int status;
    std::string out;
    std::string err;
};

constexpr const char* threeDesktops = R"({
  "displays": [{"id": 1, "uuid": "MAIN", "name": "Built-in Display", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11}, {"id": 12}, {"id": 13}], "currentSpace": 11}],
  "apps": [{"name": "Notes", "path": "/Applications/Notes.app", "running": true, "pid": 100},
           {"name": "Kiosk", "path": "/Applications/Kiosk.app", "running": true, "pid": 200, "undraggable": true}],
  "windows": [{"id": 1, "pid": 100, "title": "Shopping", "frame": [[100, 100], [600, 400]], "spaces": [11]},
              {"id": 2, "pid": 200, "title": "Board", "frame": [[800, 100], [500, 400]], "spaces": [11]}]
})";

class DesktopCommandsTest : public ::testing::Test {
protected:
    DesktopCommandsTest() { writeFile(folder / "world.json", threeDesktops); }

    Ran quiltwright(std::vector<std::string> args) {
        args.insert(args.begin(), {"--layouts", (folder / "layouts.json").string(), "--world",
                                   (folder / "world.json").string(), "--world-out", (folder / "out.json").string()});
        std::ostringstream out, err;
        const int status = cli::run(args, out, err);
        return {status, out.str(), err.str()};
    }
    sim::World written() {
        auto world = sim::readWorldFile(folder / "out.json");
        EXPECT_TRUE(world) << world.message();
        return world ? std::move(world).value() : sim::World{};
    }

    TempFolder folder;
};

TEST_F(DesktopCommandsTest, SendCarriesTheWindowAndTheWorldShowsWhereItWent) {
    const Ran run = quiltwright({"send", "1", "3"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "moved to desktop 3\n");
    const sim::World world = written();
    EXPECT_EQ(sim::findWindow(world, 1)->spaces, std::vector<SpaceID>{13});
    EXPECT_EQ(world.displays[0].currentSpace, 11u);

    const Ran refused = quiltwright({"send", "2", "2"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "quiltwright: Kiosk didn't respond to holding its title bar, so nothing was moved\n");
}

TEST_F(DesktopCommandsTest, DesktopsAddAndRemoveGoThroughMissionControl) {
    const Ran added = quiltwright({"desktops", "add", "MAIN"});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, "added Desktop 4 (id 14, index 4) on Built-in Display\n");
    EXPECT_EQ(written().displays[0].spaces.size(), 4u);

    const Ran removed = quiltwright({"desktops", "remove", "MAIN", "12"});
    ASSERT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(removed.out, "removed desktop 12 from Built-in Display\n");
    EXPECT_EQ(written().displays[0].spaces.size(), 2u);
}

TEST_F(DesktopCommandsTest, WrongArgumentsAndUnknownNamesSayWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{"send", "1"}, 2, "expected WINDOW INDEX"},
        {{"send", "1", "0"}, 2, "INDEX must be"},
        {{"send", "x", "2"}, 2, "send"},
        {{"send", "9", "2"}, 1, "no window 9"},
        {{"desktops"}, 2, "expected add or remove"},
        {{"desktops", "add"}, 2, "expected add DISPLAY_UUID"},
        {{"desktops", "remove", "MAIN", "-3"}, 2, "SPACE_ID must be"},
        {{"desktops", "add", "ELSEWHERE"}, 1, "no display with UUID “ELSEWHERE”"},
        {{"desktops", "remove", "MAIN", "99"}, 1, "no desktop 99 on Built-in Display"},
    };
    for (const Case& c : cases) {
        const Ran run = quiltwright(c.args);
        EXPECT_EQ(run.status, c.status) << c.args[0];
        EXPECT_THAT(run.err, HasSubstr(c.says)) << run.err;
    }
}

} // namespace
} // namespace qw
