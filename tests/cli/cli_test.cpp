#include "cli/run.h"

#include "model/saved_layout_json.h"
#include "store/layouts_file.h"
#include "support/file_size_limit.h"
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
using ::testing::MatchesRegex;
using ::testing::Not;
using ::testing::StartsWith;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

SavedLayout layoutNamed(std::string name, std::vector<DisplayKey> keys, std::size_t windows) {
    SavedLayout layout;
    layout.id = Uuid::random();
    layout.name = std::move(name);
    layout.created = layout.updated = Timestamp(std::chrono::seconds(1769850300));
    for (std::size_t i = 0; i < keys.size(); ++i)
        layout.displays.push_back({"D" + std::to_string(i), keys[i], "Display", Rect(0, 0, 1440, 900), Rect(0, 25, 1440, 875)});
    for (std::size_t i = 0; i < windows; ++i) {
        SavedWindow window;
        window.appName = "Notes";
        window.title = "Note " + std::to_string(i);
        window.display = "D0";
        window.frame = Rect(10, 30, 800, 600);
        window.zOrder = static_cast<std::int64_t>(i);
        layout.windows.push_back(window);
    }
    return layout;
}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        desk.autoRestore = true;
        writeFile(file, LayoutsFile::encode({desk, laptop, sameMonitors}));
        writeFile(world, laptopWorld);
    }

    // Runs quiltwright on the test's layouts file, against a Mac with the laptop's display alone.
    Outcome quiltwright(std::vector<std::string> args) {
        args.insert(args.begin(), {"--layouts", file.string(), "--world", world.string()});
        return runWith(args);
    }
    static Outcome runWith(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = cli::run(args, out, err);
        return {status, out.str(), err.str()};
    }
    std::vector<SavedLayout> onDisk() const {
        auto decoded = LayoutsFile::decode(readFile(file));
        EXPECT_TRUE(decoded) << decoded.message();
        return decoded ? *decoded : std::vector<SavedLayout>{};
    }

    static constexpr const char* laptopWorld = R"({
      "displays": [{"id": 1, "uuid": "LAPTOP", "vendor": 1, "model": 2, "serial": 3, "name": "Built-in Display",
                    "main": true, "frame": [[0, 0], [1440, 900]], "spaces": [{"id": 11}, {"id": 12, "uuid": "S12"}],
                    "currentSpace": 12}],
      "apps": [{"name": "Notes", "bundleID": "com.apple.Notes", "path": "/System/Applications/Notes.app", "pid": 100}],
      "windows": [{"id": 7, "pid": 100, "title": "Groceries", "frame": [[100, 50], [600, 400]], "spaces": [12]}],
      "defaults": {"desktopNames": {"S12": "Work"}}
    })";

    TempFolder folder;
    std::filesystem::path file = folder / "layouts.json";
    TempFolder worldFolder;
    std::filesystem::path world = worldFolder / "world.json";
    SavedLayout desk = layoutNamed("Desk", {{1, 2, 3}, {4, 5, 6}}, 2);
    SavedLayout laptop = layoutNamed("Laptop", {{1, 2, 3}}, 1);
    SavedLayout sameMonitors = layoutNamed("Desk again", {{4, 5, 6}, {1, 2, 3}}, 0);
};

TEST_F(CommandLineTest, WithoutACommandOrWithHelpPrintsTheUsage) {
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"--help"}, {"-h"}, {"--help", "delete", "Desk"}}) {
        const auto run = runWith(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_THAT(run.out, StartsWith("Usage: quiltwright [OPTIONS] COMMAND"));
        for (const char* entry : {"--layouts FILE", "layouts [--json]", "rename LAYOUT NAME", "duplicate LAYOUT NAME",
                                  "delete LAYOUT", "auto LAYOUT on|off"})
            EXPECT_THAT(run.out, HasSubstr(entry));
        EXPECT_THAT(run.err, IsEmpty());
    }
    EXPECT_EQ(onDisk().size(), 3u);
}

TEST_F(CommandLineTest, AWrongCommandLineExitsWithTwoAndSaysWhat) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--layouts"}, "--layouts needs a FILE"},
        {{"--layouts="}, "--layouts needs a FILE"},
        {{"--colour", "layouts"}, "unknown option \u201C--colour\u201D"},
        {{"--help=yes"}, "--help takes no value"},
        {{"--layouts", file.string(), "frobnicate"}, "unknown command \u201Cfrobnicate\u201D"},
        {{"--layouts", file.string(), "layouts", "--xml"}, "layouts: unexpected argument \u201C--xml\u201D"},
        {{"--layouts", file.string(), "rename", "Desk"}, "rename: expected LAYOUT NAME, got 1 argument"},
        {{"--layouts", file.string(), "rename", "Desk", ""}, "rename: NAME is empty"},
        {{"--layouts", file.string(), "duplicate", "Desk", "Bad \xFF"}, "duplicate: NAME is not valid UTF-8"},
        {{"--layouts", file.string(), "delete"}, "delete: expected LAYOUT, got 0 arguments"},
        {{"--layouts", file.string(), "auto", "Desk", "yes"}, "auto: expected on or off, got \u201Cyes\u201D"},
    };
    const auto before = readFile(file);
    for (const auto& [args, says] : cases) {
        const auto run = runWith(args);
        EXPECT_EQ(run.status, 2) << says;
        EXPECT_THAT(run.err, HasSubstr(says));
        EXPECT_THAT(run.out, IsEmpty());
    }
    EXPECT_EQ(readFile(file), before);
}

TEST_F(CommandLineTest, LayoutsListsNameIdCountsAutoAndFit) {
    const auto run = quiltwright({"layouts"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Desk  " + desk.id.string() + "  2 displays, 2 windows, auto: on, fits: no\n" +
                           "Laptop  " + laptop.id.string() + "  1 display, 1 window, auto: off, fits: yes\n" +
                           "Desk again  " + sameMonitors.id.string() + "  2 displays, 0 windows, auto: off, fits: no\n");
    EXPECT_THAT(run.err, IsEmpty());

    writeFile(file, LayoutsFile::encode({}));
    EXPECT_EQ(quiltwright({"layouts"}).out, "No saved layouts.\n");
}

TEST_F(CommandLineTest, LayoutsJsonGivesTheRecordsWithTheirFit) {
    const auto run = quiltwright({"layouts", "--json"});
    EXPECT_EQ(run.status, 0);
    const auto list = nlohmann::json::parse(run.out);
    ASSERT_TRUE(list.is_array());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]["name"], "Desk");
    EXPECT_EQ(list[0]["id"], desk.id.string());
    EXPECT_EQ(list[0]["autoRestore"], true);
    EXPECT_EQ(list[0]["windows"].size(), 2u);
    EXPECT_EQ(list[0]["fits"], false);
    EXPECT_EQ(list[1]["fits"], true);
    EXPECT_TRUE(savedLayoutFromJson(list[1], "layouts[1]")) << "each entry is a layout record";
}

TEST_F(CommandLineTest, RenameFindsTheLayoutByNameOrId) {
    auto run = quiltwright({"rename", "Desk", "Office"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Renamed \u201CDesk\u201D to \u201COffice\u201D.\n");
    EXPECT_EQ(onDisk()[0].name, "Office");

    std::string lowerCaseId = laptop.id.string();
    for (auto& c : lowerCaseId) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    run = quiltwright({"rename", lowerCaseId, "--json"}); // arguments after the command are taken as given
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(onDisk()[1].name, "--json");
}

TEST_F(CommandLineTest, AnExactNameComesBeforeAnId) {
    auto named = layoutNamed(desk.id.string(), {{7, 7, 7}}, 0); // named like another layout's id
    writeFile(file, LayoutsFile::encode({desk, named}));
    EXPECT_EQ(quiltwright({"delete", desk.id.string()}).status, 0);
    const auto left = onDisk();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].id, desk.id);
}

TEST_F(CommandLineTest, AMissingOrAmbiguousLayoutExitsWithOne) {
    auto run = quiltwright({"delete", "Nowhere"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "quiltwright: no layout is named \u201CNowhere\u201D or has that id\n");

    auto twin = layoutNamed("Desk", {{9, 9, 9}}, 0);
    writeFile(file, LayoutsFile::encode({desk, twin}));
    run = quiltwright({"delete", "Desk"});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("2 layouts are named \u201CDesk\u201D; name one by its id: " + desk.id.string() +
                                   ", " + twin.id.string()));
    EXPECT_EQ(onDisk().size(), 2u);
}

TEST_F(CommandLineTest, DuplicateAndDeleteChangeTheFile) {
    auto run = quiltwright({"duplicate", "Laptop", "Laptop copy"});
    EXPECT_EQ(run.status, 0);
    auto layouts = onDisk();
    ASSERT_EQ(layouts.size(), 4u);
    EXPECT_EQ(layouts[3].name, "Laptop copy");
    EXPECT_EQ(layouts[3].windows, laptop.windows);
    EXPECT_EQ(run.out, "Duplicated \u201CLaptop\u201D as \u201CLaptop copy\u201D, id " + layouts[3].id.string() + ".\n");

    run = quiltwright({"delete", "Laptop"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Deleted \u201CLaptop\u201D.\n");
    layouts = onDisk();
    ASSERT_EQ(layouts.size(), 3u);
    EXPECT_EQ(layouts[1].name, "Desk again");
}

TEST_F(CommandLineTest, AutoOnTurnsItOffOnTheSameMonitorsAndSaysSo) {
    auto run = quiltwright({"auto", "Desk again", "on"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Automatic restore is on for \u201CDesk again\u201D. It is now off for \u201CDesk\u201D, made on "
                       "the same monitors.\n");
    auto layouts = onDisk();
    EXPECT_FALSE(layouts[0].autoRestore);
    EXPECT_TRUE(layouts[2].autoRestore);

    run = quiltwright({"auto", "Desk again", "off"});
    EXPECT_EQ(run.out, "Automatic restore is off for \u201CDesk again\u201D.\n");
    EXPECT_FALSE(onDisk()[2].autoRestore);
}

TEST_F(CommandLineTest, TheStoresProblemGoesToStandardError) {
    writeFile(file, R"({"version": 1, "layouts": [{"name": "no id"}]})");
    const auto run = quiltwright({"layouts"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "No saved layouts.\n");
    EXPECT_THAT(run.err, MatchesRegex("Saved layouts couldn't be read, so they were set aside as "
                                      "layouts\\.unreadable-[0-9]+\\.json\\.\n"
                                      "What was wrong: layouts\\[0\\]\\.id: missing\n"));
    EXPECT_FALSE(std::filesystem::exists(file));

    // A layout named in a command is then not found: the file was set aside.
    writeFile(file, "{");
    const auto rename = quiltwright({"rename", "Desk", "Office"});
    EXPECT_EQ(rename.status, 1);
    EXPECT_THAT(rename.err, HasSubstr("Saved layouts couldn't be read"));
    EXPECT_THAT(rename.err, HasSubstr("no layout is named"));
}

TEST_F(CommandLineTest, AChangeThatCannotBeSavedExitsWithOne) {
    const auto before = readFile(file);
    Outcome run;
    {
        const FileSizeLimit limit(before.size() / 2); // the new file cannot be written whole
        run = quiltwright({"rename", "Desk", "Office"});
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Couldn't save layouts: File too large\n");
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(folder.entries(), std::set<std::string>{"layouts.json"});
}

TEST_F(CommandLineTest, NamesAreShownWithoutTerminalControls) {
    writeFile(file, LayoutsFile::encode({layoutNamed("Evil\x1B[2J\nName", {{1, 2, 3}}, 0)}));
    const auto run = quiltwright({"layouts"});
    EXPECT_THAT(run.out, StartsWith("Evil\\x1B[2J\\nName  "));
    EXPECT_THAT(run.out, Not(HasSubstr("\x1B")));
}

} // namespace
} // namespace qw
