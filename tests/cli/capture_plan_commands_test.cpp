#include "cli/run.h"

#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace qw {
namespace {

using namespace test_support;
using ::testing::HasSubstr;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Mail's Inbox on the desktop showing, Safari's News on desktop 12 behind it.
constexpr const char* before = R"({
  "displays": [{"id": 1, "uuid": "D1", "name": "Built-in", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11, "uuid": "S11"}, {"id": 12, "uuid": "S12"}], "currentSpace": 11}],
  "apps": [
    {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 100},
    {"name": "Safari", "bundleID": "com.apple.Safari", "path": "/Applications/Safari.app", "pid": 200}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Inbox", "frame": [[100, 100], [600, 400]], "spaces": [11]},
    {"id": 2, "pid": 200, "title": "News", "frame": [[700, 100], [600, 400]], "spaces": [12]}
  ]
})";

// Later: the Inbox was moved and Safari quit.
constexpr const char* after = R"({
  "displays": [{"id": 1, "uuid": "D1", "name": "Built-in", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11, "uuid": "S11"}, {"id": 12, "uuid": "S12"}], "currentSpace": 11}],
  "apps": [
    {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 100},
    {"name": "Safari", "bundleID": "com.apple.Safari", "path": "/Applications/Safari.app", "running": false}
  ],
  "windows": [{"id": 1, "pid": 100, "title": "Inbox", "frame": [[300, 200], [500, 400]], "spaces": [11]}]
})";

class CapturePlanCommandsTest : public ::testing::Test {
protected:
    CapturePlanCommandsTest() {
        std::ofstream(folder / "before.json") << before;
        std::ofstream(folder / "after.json") << after;
    }
    Outcome quiltwright(const std::string& world, std::vector<std::string> args) {
        args.insert(args.begin(), {"--layouts", (folder / "layouts.json").string(), "--world", (folder / world).string()});
        std::ostringstream out, err;
        const int status = cli::run(args, out, err);
        return {status, out.str(), err.str()};
    }

    TempFolder folder;
};

TEST_F(CapturePlanCommandsTest, SaveThenPlanOnAChangedWorld) {
    const auto saved = quiltwright("before.json", {"save", "Work", "--auto"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_THAT(saved.out, HasSubstr("Saved “Work”"));
    EXPECT_THAT(saved.out, HasSubstr("1 display, 2 windows"));

    const auto planned = quiltwright("after.json", {"plan", "Work", "--json"});
    ASSERT_EQ(planned.status, 0) << planned.err;
    const auto json = nlohmann::json::parse(planned.out);
    EXPECT_EQ(json, nlohmann::json::parse(R"({
      "moves": {"1": [[100.0, 100.0], [600.0, 400.0]]},
      "inPlace": 0,
      "notes": [],
      "matched": [1],
      "launches": [{"app": "/Applications/Safari.app", "name": "Safari", "bundleID": "com.apple.Safari",
                    "frame": [[700.0, 100.0], [600.0, 400.0]]}],
      "desktops": {}
    })"));

    const auto text = quiltwright("after.json", {"plan", "Work"});
    EXPECT_THAT(text.out, HasSubstr("move 1 to [[100,100],[600,400]]"));
    EXPECT_THAT(text.out, HasSubstr("open Safari (/Applications/Safari.app)"));
}

TEST_F(CapturePlanCommandsTest, UpdateRecapturesAndPlanNamesWhatIsWrong) {
    ASSERT_EQ(quiltwright("before.json", {"save", "Work"}).status, 0);
    const auto updated = quiltwright("after.json", {"update", "Work"});
    ASSERT_EQ(updated.status, 0) << updated.err;
    EXPECT_EQ(updated.out, "Updated “Work”: 1 display, 1 window.\n");
    EXPECT_EQ(quiltwright("after.json", {"plan", "Work", "--json"}).out.find("\"inPlace\": 1") != std::string::npos, true);

    EXPECT_EQ(quiltwright("after.json", {"plan", "Nope"}).status, 1);
    EXPECT_EQ(quiltwright("after.json", {"plan"}).status, 2);
    EXPECT_EQ(quiltwright("after.json", {"plan", "Work", "--bogus"}).status, 2);
    EXPECT_EQ(quiltwright("after.json", {"save"}).status, 2);
    EXPECT_EQ(quiltwright("after.json", {"update", "Nope"}).status, 1);
}

} // namespace
} // namespace qw
