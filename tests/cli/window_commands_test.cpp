#include "platform/sim/simulated_mac.h"
#include "support/command_line.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qw {
namespace {

using namespace test_support;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// Pages runs with window 5; Small, not running, shows one window a second after it opens and will
// not grow past 500 x 450.
constexpr const char* world = R"({
  "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}]}],
  "apps": [
    {"name": "Pages", "bundleID": "com.apple.Pages", "path": "/Applications/Pages.app", "pid": 100},
    {"name": "Stuck", "path": "/Applications/Stuck.app", "pid": 200, "refusesMove": -25200},
    {"name": "Small", "path": "/Applications/Small.app", "maxSize": [500, 450]}
  ],
  "windows": [
    {"id": 5, "pid": 100, "title": "Report", "frame": [[40, 40], [600, 400]], "spaces": [11]},
    {"id": 6, "pid": 200, "title": "Stuck", "frame": [[700, 40], [600, 400]], "spaces": [11]}
  ]
})";

class WindowCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { writeFile(folder / "world.json", world); }

    CommandRun quiltwright(std::vector<std::string> args) {
        args.insert(args.begin(), {"--layouts", (folder / "layouts.json").string(), "--world",
                                   (folder / "world.json").string(), "--world-out", (folder / "out.json").string()});
        return runCommandLine(args);
    }
    Rect frameAfter(WindowID id) { return frameInWorldFile(folder / "out.json", id); }

    TempFolder folder;
};

TEST_F(WindowCommandsTest, MovePrintsWhereTheWindowWentAndTheWorldOutShowsIt) {
    const auto run = quiltwright({"move", "5", "[[100, 50.5], [800, 600]]"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "moved [[100,50.5],[800,600]]\n");
    EXPECT_EQ(frameAfter(5), Rect(100, 50.5, 800, 600));
}

TEST_F(WindowCommandsTest, MoveReportsARefusalAndWrongArguments) {
    auto run = quiltwright({"move", "6", "[[0,25],[100,100]]"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "quiltwright: Stuck refused the move (AX error -25200)\n");

    run = quiltwright({"move", "9", "[[0,25],[100,100]]"});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("no window 9"));

    for (const auto& [window, frame] : {std::pair{"x5", "[[0,0],[1,1]]"}, std::pair{"5", "[[0,0],[1]]"},
                                        std::pair{"5", "[[0,0],[-1,1]]"}, std::pair{"5", "{}"}}) {
        run = quiltwright({"move", window, frame});
        EXPECT_EQ(run.status, 2) << window << " " << frame;
        EXPECT_THAT(run.err, StartsWith("quiltwright move: "));
    }
}

TEST_F(WindowCommandsTest, OpenPlacesTheNewWindowAndNotesASizeThatDidNotHold) {
    const auto run = quiltwright({"open", "/Applications/Small.app", "[[200,150],[600,500]]"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, StartsWith("placed window 7 of Small at [[200,150],[500,450]]: Small kept a size of 500×450"));
    EXPECT_EQ(frameAfter(7), Rect(200, 150, 500, 450));
}

TEST_F(WindowCommandsTest, OpenOfAMissingAppFails) {
    const auto run = quiltwright({"open", "/Applications/Nowhere.app", "[[200,150],[600,500]]"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "quiltwright: Nowhere: macOS couldn't open it\n");
    EXPECT_THAT(run.out, IsEmpty());
}

} // namespace
} // namespace qw
