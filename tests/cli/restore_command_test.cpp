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
using nlohmann::json;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

const char* apps = R"(
    {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 100},
    {"name": "Safari", "bundleID": "com.apple.Safari", "path": "/Applications/Safari.app", "pid": 200},
    {"name": "Music", "bundleID": "com.apple.Music", "path": "/Applications/Music.app", "pid": 300})";

// The laptop on the left, a wide monitor on the right: Mail on the laptop, Safari on the monitor.
const std::string twoDisplays = std::string(R"({
  "displays": [
    {"id": 1, "uuid": "LAPTOP", "vendor": 1552, "model": 41008, "name": "Built-in", "main": true,
     "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}]},
    {"id": 2, "uuid": "WIDE", "vendor": 7789, "model": 23305, "name": "Wide",
     "frame": [[1440, 0], [1920, 1080]], "spaces": [{"id": 21}]}],
  "apps": [)") + apps + R"(],
  "windows": [
    {"id": 1, "pid": 100, "title": "Inbox", "frame": [[100, 100], [800, 600]], "spaces": [11]},
    {"id": 2, "pid": 200, "title": "News", "frame": [[1540, 100], [1200, 800]], "spaces": [21]}]
})";

// Later: the monitor is on the left now, the laptop runs at a larger resolution, and the windows
// were shuffled.
const std::string swapped = std::string(R"({
  "displays": [
    {"id": 1, "uuid": "LAPTOP", "vendor": 1552, "model": 41008, "name": "Built-in", "main": true,
     "frame": [[0, 0], [1680, 1050]], "spaces": [{"id": 11}]},
    {"id": 2, "uuid": "WIDE", "vendor": 7789, "model": 23305, "name": "Wide",
     "frame": [[-1920, 0], [1920, 1080]], "spaces": [{"id": 21}]}],
  "apps": [)") + apps + R"(],
  "windows": [
    {"id": 1, "pid": 100, "title": "Inbox", "frame": [[-1800, 200], [700, 500]], "spaces": [21]},
    {"id": 2, "pid": 200, "title": "News", "frame": [[200, 200], [900, 700]], "spaces": [11]},
    {"id": 3, "pid": 300, "title": "Radio", "frame": [[300, 300], [600, 400]], "spaces": [11]}]
})";

// One display with two desktops; Mail on the one showing, Safari on desktop 12 behind it.
const std::string twoDesktops = std::string(R"({
  "displays": [{"id": 1, "uuid": "D1", "name": "Built-in", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11, "uuid": "S11"}, {"id": 12, "uuid": "S12"}], "currentSpace": 11}],
  "apps": [)") + apps + R"(],
  "windows": [
    {"id": 1, "pid": 100, "title": "Inbox", "frame": [[100, 100], [600, 400]], "spaces": [11]},
    {"id": 2, "pid": 200, "title": "News", "frame": [[700, 100], [600, 400]], "spaces": [12]}]
})";

class RestoreCommandTest : public ::testing::Test {
protected:
    void write(const std::string& name, const std::string& text) { std::ofstream(folder.path() / name) << text; }

    Outcome quiltwright(const std::string& world, std::vector<std::string> args, bool keepWorld = false) {
        args.insert(args.begin(), {"--layouts", (folder.path() / "layouts.json").string(), "--world",
                                   (folder.path() / world).string()});
        if (keepWorld) args.insert(args.begin(), {"--world-out", (folder.path() / "out.json").string()});
        std::ostringstream out, err;
        const int status = cli::run(args, out, err);
        return {status, out.str(), err.str()};
    }

    json worldOut() {
        std::ifstream in(folder.path() / "out.json");
        return json::parse(in);
    }
    json windowOut(int id) {
        const json world = worldOut();
        for (const auto& window : world["windows"])
            if (window["id"] == id) return window;
        return nullptr;
    }

    TempFolder folder;
};

TEST_F(RestoreCommandTest, RestoresTwoDisplaysAfterTheyWereSwappedAndOneResized) {
    write("before.json", twoDisplays);
    write("after.json", swapped);
    ASSERT_EQ(quiltwright("before.json", {"save", "Desk"}).status, 0);
    const auto planned = quiltwright("after.json", {"plan", "Desk", "--json"});
    ASSERT_EQ(planned.status, 0) << planned.err;
    const auto moves = json::parse(planned.out)["moves"];
    ASSERT_EQ(moves.size(), 2u);

    const auto restored = quiltwright("after.json", {"restore", "Desk"}, true);
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(restored.out, "Moved 2 windows\n- Hid 1 other app (Undo Apply brings them back)\n");
    // Each window is where the plan put it: Mail back on the laptop, Safari on the monitor.
    EXPECT_EQ(windowOut(1)["frame"], moves["1"]);
    EXPECT_EQ(windowOut(2)["frame"], moves["2"]);
    EXPECT_GE(moves["1"][0][0].get<double>(), 0);
    EXPECT_LT(moves["2"][0][0].get<double>(), 0);
    EXPECT_EQ(windowOut(1)["spaces"], json::array({11}));
    EXPECT_EQ(windowOut(2)["spaces"], json::array({21}));
}

TEST_F(RestoreCommandTest, KeepOthersLeavesOtherAppsShowing) {
    write("before.json", twoDisplays);
    write("after.json", swapped);
    ASSERT_EQ(quiltwright("before.json", {"save", "Desk"}).status, 0);
    const auto restored = quiltwright("after.json", {"restore", "Desk", "--keep-others"}, true);
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(restored.out, "Moved 2 windows\n");
    const json world = worldOut();
    for (const auto& app : world["apps"]) EXPECT_FALSE(app.value("hidden", false)) << app;
}

TEST_F(RestoreCommandTest, OpensAnAppThatIsNotRunningAndPlacesItsWindow) {
    write("before.json", twoDesktops);
    ASSERT_EQ(quiltwright("before.json", {"save", "Work"}).status, 0);
    // Mail quits; the layout still has its window.
    auto quit = json::parse(twoDesktops);
    quit["apps"][0].erase("pid");
    quit["apps"][0]["running"] = false;
    quit["windows"].erase(0);
    write("quit.json", quit.dump());

    const auto restored = quiltwright("quit.json", {"restore", "Work", "--keep-others"}, true);
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_THAT(restored.out, HasSubstr("Opened Mail"));
    const json world = worldOut();
    json mail;
    for (const auto& app : world["apps"])
        if (app["name"] == "Mail") mail = app;
    ASSERT_TRUE(mail.contains("pid")) << mail;
    bool placed = false;
    for (const auto& window : world["windows"])
        if (window["pid"] == mail["pid"]) placed = window["frame"] == json::parse("[[100, 100], [600, 400]]");
    EXPECT_TRUE(placed) << world["windows"];

    // Without opening apps (nor changing desktops) there is nothing to do: Safari stays behind.
    const auto without = quiltwright("quit.json", {"restore", "Work", "--no-open-apps"});
    EXPECT_EQ(without.status, 0) << without.err;
    EXPECT_EQ(without.out, "“Work” is already in place\n"
                           "- 1 window on another desktop or full screen, left where it is (Safari)\n");
}

TEST_F(RestoreCommandTest, CarriesAWindowToTheDesktopItWasSavedOn) {
    write("before.json", twoDesktops);
    ASSERT_EQ(quiltwright("before.json", {"save", "Work"}).status, 0);
    // The user chose Safari's desktop in the layout.
    json layouts;
    std::ifstream(folder.path() / "layouts.json") >> layouts;
    for (auto& window : layouts["layouts"][0]["windows"])
        if (window["appName"] == "Safari") window["keepsDesktop"] = true;
    write("layouts.json", layouts.dump());
    // Later Safari sits on the desktop showing.
    auto later = json::parse(twoDesktops);
    later["windows"][1]["spaces"] = json::array({11});
    later["windows"][1]["frame"] = json::parse("[[300, 300], [600, 400]]");
    write("later.json", later.dump());

    const auto restored = quiltwright("later.json", {"restore", "Work", "--keep-others"}, true);
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(restored.out, "Moved 1 window and sent Safari to Desktop 2\n");
    EXPECT_EQ(windowOut(2)["spaces"], json::array({12}));
    EXPECT_EQ(windowOut(2)["frame"], json::parse("[[700, 100], [600, 400]]"));
    EXPECT_EQ(worldOut()["displays"][0].value("currentSpace", 11), 11); // the user's desktop shows again
}

TEST_F(RestoreCommandTest, NamesWhatIsWrong) {
    write("before.json", twoDesktops);
    ASSERT_EQ(quiltwright("before.json", {"save", "Work"}).status, 0);
    EXPECT_EQ(quiltwright("before.json", {"restore"}).status, 2);
    EXPECT_EQ(quiltwright("before.json", {"restore", "Work", "--bogus"}).status, 2);
    EXPECT_EQ(quiltwright("before.json", {"restore", "Work", "--keep-others", "--keep-others"}).status, 2);
    EXPECT_EQ(quiltwright("before.json", {"restore", "Nope"}).status, 1);

    auto untrusted = json::parse(twoDesktops);
    untrusted["accessibility"] = false;
    write("untrusted.json", untrusted.dump());
    const auto refused = quiltwright("untrusted.json", {"restore", "Work"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "Quiltwright needs Accessibility permission to restore “Work”. Nothing was changed\n"
                           "- Allow it in System Settings › Privacy & Security › Accessibility\n");
}

} // namespace
} // namespace qw
