// The seeds of the two reply fuzz targets, replayed as the fuzzers run them: no seed may make a
// fault, and the realistic seeds, replies as the simulated Mac gives them, read as the desktops and
// windows they describe.

#include "harness/desktop_replies.h"
#include "harness/reply_mac.h"
#include "harness/window_list.h"

#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qw {
namespace {

using ::testing::ElementsAre;

std::filesystem::path corpus(const char* target) {
    return std::filesystem::path(QW_SOURCE_DIR) / "fuzz" / "corpus" / target;
}

std::string seed(const char* target, const char* name) { return test_support::readFile(corpus(target) / name); }

struct SpaceSummary {
    SpaceID id;
    int index;
    std::optional<int> number;
    std::string name;
    std::string uuid;
    bool operator==(const SpaceSummary&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const SpaceSummary& s) {
        return out << "{" << s.id << ", " << s.index << ", " << (s.number ? std::to_string(*s.number) : "none") << ", "
                   << s.name << ", \"" << s.uuid << "\"}";
    }
};

std::vector<SpaceSummary> summary(const SkyLight::DisplaySpaces& display) {
    std::vector<SpaceSummary> spaces;
    for (const auto& s : display.spaces) spaces.push_back({s.id, s.index, s.number, s.name, s.uuid});
    return spaces;
}

// ---- Desktop replies ----------------------------------------------------------------------------------

class DesktopRepliesCorpusTest : public ::testing::Test {
protected:
    fuzzing::DesktopRepliesRun run(const std::string& input) {
        return fuzzing::runDesktopReplies(input, mac.platform().workspace);
    }
    fuzzing::ReplyMac mac;
};

TEST_F(DesktopRepliesCorpusTest, NoSeedMakesAFault) {
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus("desktop_replies"))) {
        SCOPED_TRACE(entry.path().filename().string());
        const auto replay = run(test_support::readFile(entry.path()));
        EXPECT_TRUE(replay.replies) << "not a JSON object";
        EXPECT_EQ(replay.fault, std::nullopt);
        ++seeds;
    }
    EXPECT_GT(seeds, 0);
}

TEST_F(DesktopRepliesCorpusTest, TheSimulatedMacsRepliesReadAsItsDesktops) {
    const auto replay = run(seed("desktop_replies", "two_displays.json"));
    ASSERT_TRUE(replay.replies);
    const auto& displays = replay.replies->displays;
    ASSERT_EQ(displays.size(), 2u);

    const auto& laptop = displays.at("37D8832A-2D66-02CA-B9F7-8F30A301B230");
    EXPECT_EQ(laptop.current, 1u);
    EXPECT_THAT(summary(laptop),
                ElementsAre(SpaceSummary{1, 1, 1, "Desktop 1", ""},
                            SpaceSummary{3, 2, 2, "Desktop 2", "5E1B5B4C-92A7-4C1E-8F0D-6B2C9A3E7D10"},
                            SpaceSummary{6, 3, std::nullopt, "Keynote", "A0C4E2F1-3B5D-4F6A-8C9E-1D2B3C4D5E6F"}));
    const auto& external = displays.at("8F3C2E51-6A3B-4D2E-9C51-3A7F0B6E2D14");
    EXPECT_EQ(external.current, 5u);
    EXPECT_THAT(summary(external),
                ElementsAre(SpaceSummary{4, 1, 3, "Desktop 3", ""}, SpaceSummary{5, 2, 4, "Desktop 4", "S5"}));

    // A window on every desktop, a minimized one on the desktop its frame lies on, a full-screen one,
    // and a window the system does not know.
    const std::map<WindowID, std::vector<SpaceID>> windows{
        {11, {1, 3}}, {12, {5}}, {13, {1}}, {14, {6}}, {17, {1, 3, 4, 5}}, {99, {}}};
    EXPECT_EQ(replay.replies->windowSpaces, windows);
}

TEST_F(DesktopRepliesCorpusTest, SharedDesktopsReadAsOneMainEntry) {
    const auto replay = run(seed("desktop_replies", "shared_main.json"));
    ASSERT_TRUE(replay.replies);
    const auto& displays = replay.replies->displays;
    ASSERT_EQ(displays.size(), 1u);
    const auto& main = displays.at("Main");
    EXPECT_EQ(main.current, 6u);
    EXPECT_THAT(summary(main), ElementsAre(SpaceSummary{1, 1, 1, "Desktop 1", ""},
                                           SpaceSummary{6, 2, std::nullopt, "Keynote", "FS6"},
                                           SpaceSummary{8, 3, 2, "Desktop 2", "S8"}));
}

// ---- The window list ----------------------------------------------------------------------------------

TEST(WindowListCorpusTest, NoSeedMakesAFault) {
    fuzzing::ReplyMac mac;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus("window_list"))) {
        SCOPED_TRACE(entry.path().filename().string());
        const auto replay = fuzzing::runWindowList(test_support::readFile(entry.path()), mac);
        EXPECT_TRUE(replay.windows) << "not JSON";
        EXPECT_EQ(replay.fault, std::nullopt);
        ++seeds;
    }
    EXPECT_GT(seeds, 0);
}

// The simulated Mac's own list keeps the windows a layout records: not the minimized one, the hidden
// app's, the accessory's, Quiltwright's own, the palette or the transparent one.
TEST(WindowListCorpusTest, TheSimulatedMacsListKeepsTheRecordableWindows) {
    fuzzing::ReplyMac mac;
    const auto replay = fuzzing::runWindowList(seed("window_list", "reply_world.json"), mac);
    ASSERT_TRUE(replay.windows);
    std::vector<WindowID> ids;
    for (const auto& w : *replay.windows) ids.push_back(w.id);
    EXPECT_THAT(ids, ElementsAre(11, 14, 17));

    const auto& everywhere = replay.windows->at(2);
    EXPECT_EQ(everywhere.title, "Everywhere");
    EXPECT_EQ(everywhere.appName, "Notes");
    EXPECT_EQ(everywhere.bundleID, "com.apple.Notes");
    EXPECT_EQ(everywhere.frame, Rect(1600, 0, 800, 500));
    EXPECT_THAT(everywhere.spaceIDs, ElementsAre(1, 3, 4, 5));
    EXPECT_TRUE(everywhere.isOnScreen);
    EXPECT_FALSE(replay.windows->at(1).isOnScreen); // the full-screen window, its space not shown
}

} // namespace
} // namespace qw
