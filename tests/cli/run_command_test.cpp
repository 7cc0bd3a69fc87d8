#include "platform/sim/simulated_mac.h"
#include "support/command_line.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qw {
namespace {

using namespace test_support;
using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A laptop with an external display on its right; Notes has its window on the laptop. With
// `calendarRunning`, Calendar shows its window on the external display; otherwise it is installed
// and shows that window four seconds after it is opened, on the laptop.
std::string world(const std::string& timeline, bool calendarRunning = false) {
    const std::string calendar =
        calendarRunning
            ? R"({"name": "Calendar", "bundleID": "com.apple.iCal", "path": "/Applications/Calendar.app", "pid": 200})"
            : R"({"name": "Calendar", "bundleID": "com.apple.iCal", "path": "/Applications/Calendar.app",
                 "launchDelay": 4, "opensWindows": [{"title": "Calendar", "frame": [[200, 200], [800, 600]]}]})";
    const std::string calendarWindow =
        calendarRunning
            ? R"(, {"id": 2, "pid": 200, "title": "Calendar", "frame": [[1600, 100], [800, 600]], "spaces": [21]})"
            : "";
    return R"({
      "now": "2026-03-02T09:00:00Z",
      "displays": [
        {"id": 1, "uuid": "LAPTOP", "vendor": 1552, "model": 41001, "name": "Built-in Display", "main": true,
         "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}]},
        {"id": 2, "uuid": "EXTERNAL", "vendor": 4268, "model": 16700, "serial": 7, "name": "Studio Display",
         "frame": [[1440, 0], [1920, 1080]], "spaces": [{"id": 21}]}
      ],
      "apps": [
        {"name": "Notes", "bundleID": "com.apple.Notes", "path": "/Applications/Notes.app", "pid": 100}, )" +
           calendar + R"(
      ],
      "windows": [
        {"id": 1, "pid": 100, "title": "Groceries", "frame": [[100, 100], [600, 400]], "spaces": [11]})" +
           calendarWindow + R"(
      ],
      "timeline": [)" + timeline + "]}";
}

// The user drags Notes away; then the external display is nudged three times, a second apart.
constexpr const char* displayBurst = R"(
    {"at": 0.5, "event": "moveWindow", "id": 1, "frame": [[400, 300], [600, 400]]},
    {"at": 1, "event": "moveDisplay", "id": 2, "frame": [[1440, 100], [1920, 1080]]},
    {"at": 2, "event": "moveDisplay", "id": 2, "frame": [[1440, 200], [1920, 1080]]},
    {"at": 3, "event": "moveDisplay", "id": 2, "frame": [[1440, 300], [1920, 1080]]})";

class RunCommandTest : public ::testing::Test {
protected:
    // Saves "Desk", marked for automatic restore, from `saveWorld` as it stands.
    void saveDesk(const std::string& saveWorld) {
        writeFile(folder / "saved.json", saveWorld);
        ASSERT_EQ(quiltwright({"--world", (folder / "saved.json").string(), "save", "Desk", "--auto"}).status, 0);
    }
    CommandRun run(const std::string& runWorld, std::vector<std::string> args = {}) {
        writeFile(folder / "world.json", runWorld);
        args.insert(args.begin(), {"--world", (folder / "world.json").string(), "--world-out",
                                   (folder / "out.json").string(), "run"});
        return quiltwright(std::move(args));
    }
    CommandRun quiltwright(std::vector<std::string> args) {
        args.insert(args.begin(), {"--layouts", (folder / "layouts.json").string()});
        return runCommandLine(args);
    }
    Rect frameAfter(WindowID id) { return frameInWorldFile(folder / "out.json", id); }

    TempFolder folder;
};

TEST_F(RunCommandTest, ThreeDisplayChangesGiveOneRunThreeSecondsAfterTheLast) {
    saveDesk(world(""));
    const auto result = run(world(displayBurst));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_THAT(result.out, ContainsRegex("^6\\.0 report: Moved 1 window\\. Auto-restored “Desk” for these displays\n"
                                          "6\\.0 lastRun: [0-9]+:[0-9]+: Moved 1 window\\. Auto-restored “Desk” for "
                                          "these displays\n$"));
    EXPECT_EQ(frameAfter(1), Rect(100, 100, 600, 400));
}

TEST_F(RunCommandTest, ForSecondsStopsBeforeTheRun) {
    saveDesk(world(""));
    const auto result = run(world(displayBurst), {"--for", "5.5"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_THAT(result.out, IsEmpty());
    EXPECT_EQ(frameAfter(1), Rect(400, 300, 600, 400));
}

TEST_F(RunCommandTest, AWakeWithTheSameDisplaysLeavesWindowsWhereTheyWere) {
    saveDesk(world(""));
    const auto result = run(world(R"({"at": 0.5, "event": "moveWindow", "id": 1, "frame": [[400, 300], [600, 400]]},
                                     {"at": 1, "event": "sleep"}, {"at": 2, "event": "wake"})"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_THAT(result.out,
                ContainsRegex("^6\\.0 lastRun: [0-9]+:[0-9]+: woke with the same displays; left windows where they were\n$"));
    EXPECT_EQ(frameAfter(1), Rect(400, 300, 600, 400));
}

TEST_F(RunCommandTest, AnAppWhoseWindowAppearsAfterFourSecondsIsRestoredAtTheSixSecondCheck) {
    saveDesk(world("", true));
    const auto result = run(world(R"({"at": 1, "event": "launchApp", "path": "/Applications/Calendar.app"})"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_THAT(result.out, ContainsRegex("^7\\.0 report: Moved 1 window\\. Auto-restored Calendar from “Desk”\n"
                                          "7\\.0 lastRun: [0-9]+:[0-9]+: Moved 1 window\\. Auto-restored Calendar "
                                          "from “Desk”\n$"));
    const auto after = sim::readWorldFile(folder / "out.json");
    ASSERT_TRUE(after);
    const auto calendar = std::find_if(after->windows.begin(), after->windows.end(),
                                       [](const sim::Window& w) { return w.title == "Calendar"; });
    ASSERT_NE(calendar, after->windows.end());
    EXPECT_EQ(calendar->frame, Rect(1600, 100, 800, 600));
}

TEST_F(RunCommandTest, UnsavedEditorWorkSkipsTheRun) {
    saveDesk(world(""));
    const auto result = run(world(displayBurst), {"--place", "1", "[[700,300],[600,400]]"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_THAT(result.out, ContainsRegex("^6\\.0 lastRun: [0-9]+:[0-9]+: skipped “Desk” for these displays; the "
                                          "editor has unapplied changes\n$"));
    EXPECT_EQ(frameAfter(1), Rect(400, 300, 600, 400));
}

TEST_F(RunCommandTest, WrongArgumentsAreUsageErrors) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--for"}, {"--for", "-1"}, {"--for", "soon"}, {"--place", "1"}, {"--place", "x", "[[0,0],[1,1]]"}, {"now"}}) {
        const auto result = run(world(""), args);
        EXPECT_EQ(result.status, 2) << args.front();
        EXPECT_THAT(result.err, HasSubstr("quiltwright run: "));
    }
    EXPECT_EQ(run(world(""), {"--place", "9", "[[0,0],[600,400]]"}).status, 1) << "no such window";
}

} // namespace
} // namespace qw
