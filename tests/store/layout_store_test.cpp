#include "store/layout_store.h"

#include "store/layouts_file.h"
#include "store_fixtures.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace qw {
namespace {

using namespace test_support;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::string setAsideName = "layouts.unreadable-" + std::to_string(fixedSeconds) + ".json";
const std::string setAsideSentence = "Saved layouts couldn't be read, so they were set aside as " + setAsideName + ".";

class LayoutStoreTest : public ::testing::Test {
protected:
    std::unique_ptr<LayoutStore> open() {
        return std::make_unique<LayoutStore>(file, files, [this] { return clock; });
    }
    // A store whose file already holds `layouts`.
    std::unique_ptr<LayoutStore> openWith(const std::vector<SavedLayout>& layouts) {
        writeFile(file, LayoutsFile::encode(layouts));
        return open();
    }
    std::vector<SavedLayout> onDisk() const {
        auto decoded = LayoutsFile::decode(readFile(file));
        EXPECT_TRUE(decoded) << decoded.message();
        return decoded ? *decoded : std::vector<SavedLayout>{};
    }
    static std::vector<std::string> names(const std::vector<SavedLayout>& layouts) {
        std::vector<std::string> out;
        for (const auto& layout : layouts) out.push_back(layout.name);
        return out;
    }

    TempFolder folder;
    std::filesystem::path file = folder / "layouts.json";
    std::shared_ptr<FlakyFileSystem> files = std::make_shared<FlakyFileSystem>();
    std::chrono::system_clock::time_point clock = fixedTime();
};

// ---- Loading and writing -----------------------------------------------------------------------

TEST_F(LayoutStoreTest, WithoutAFileStartsEmptyAndWritesNothing) {
    const auto store = open();
    EXPECT_TRUE(store->layouts().empty());
    EXPECT_FALSE(store->problem());
    EXPECT_EQ(store->fileURL(), file);
    EXPECT_TRUE(folder.entries().empty());
}

TEST_F(LayoutStoreTest, ChangesAreWrittenAndReadBackByTheNextStore) {
    file = folder / "new" / "folders" / "layouts.json"; // created on the first write
    const auto desk = layoutOn("Desk", {keyA()});
    open()->add(desk);
    const auto again = open();
    EXPECT_THAT(again->layouts(), ElementsAre(desk));
    EXPECT_FALSE(again->problem());
}

TEST_F(LayoutStoreTest, WritingLeavesNoTemporaryFiles) {
    const auto store = open();
    const auto desk = layoutOn("Desk", {keyA()});
    store->add(desk);
    store->rename(desk.id, "Desk 2");
    store->duplicate(desk.id, "Copy");
    EXPECT_EQ(folder.entries(), std::set<std::string>{"layouts.json"});
    EXPECT_THAT(names(onDisk()), ElementsAre("Desk 2", "Copy"));
}

TEST_F(LayoutStoreTest, AFileOfAnotherVersionLoads) {
    writeFile(file, R"({"version": 7, "layouts": [{"id": "6f9619ff-8b86-d011-b42d-00c04fc964ff", "name": "Old",
        "created": "2020-01-01T00:00:00Z", "updated": "2020-01-01T00:00:00Z", "displays": [], "windows": []}]})");
    const auto store = open();
    EXPECT_THAT(names(store->layouts()), ElementsAre("Old"));
    EXPECT_FALSE(store->layouts().front().autoRestore);
    EXPECT_FALSE(store->problem());
}

TEST_F(LayoutStoreTest, AnUnreadableFileIsSetAsideAndTheNextChangeStartsAFreshOne) {
    const std::string bad = R"({"version": "1", "layouts": []})";
    writeFile(file, bad);
    const auto store = open();
    EXPECT_TRUE(store->layouts().empty());
    EXPECT_EQ(store->problem(), setAsideSentence);
    EXPECT_EQ(store->loadFailure(), "version: expected an integer");
    EXPECT_EQ(folder.entries(), std::set<std::string>{setAsideName});
    EXPECT_EQ(readFile(folder / setAsideName), bad);

    const auto fresh = layoutOn("Fresh", {keyA()});
    store->add(fresh);
    EXPECT_THAT(onDisk(), ElementsAre(fresh));
    EXPECT_EQ(readFile(folder / setAsideName), bad);
    EXPECT_EQ(store->problem(), setAsideSentence); // no operation clears it
}

TEST_F(LayoutStoreTest, EveryBadFileIsSetAsideWithTheSentence) {
    std::string deep = std::string(10000, '[') + std::string(10000, ']');
    const std::vector<std::string> badFiles = {
        "",
        "{\"version\": 1, \"layouts\": [",
        deep,
        "{\"version\": 1, \"layouts\": [], \"x\": \"\xC3\x28\"}",
        "{\"version\": 1, \"layouts\": [], \"x\": 1e400}",
        "{\"version\": 1, \"version\": 1, \"layouts\": []}",
        "{\"version\": 1, \"layouts\": [{\"id\": 5}]}",
        std::string(LayoutStore::maxFileSize + 1, ' '), // huge
    };
    for (const auto& bad : badFiles) {
        SCOPED_TRACE(bad.substr(0, 60));
        TempFolder here;
        writeFile(here / "layouts.json", bad);
        const LayoutStore store(here / "layouts.json", files, [this] { return clock; });
        EXPECT_TRUE(store.layouts().empty());
        EXPECT_EQ(store.problem(), setAsideSentence);
        EXPECT_TRUE(store.loadFailure());
        EXPECT_EQ(here.entries(), std::set<std::string>{setAsideName});
        EXPECT_EQ(readFile(here / setAsideName).size(), bad.size());
    }
}

TEST_F(LayoutStoreTest, ASecondSetAsideInTheSameSecondNeverReplacesTheFirst) {
    writeFile(folder / setAsideName, "first");
    const auto secondName = "layouts.unreadable-" + std::to_string(fixedSeconds) + "-2.json";
    writeFile(folder / secondName, "second");
    writeFile(file, "third");
    const auto store = open();
    const auto thirdName = "layouts.unreadable-" + std::to_string(fixedSeconds) + "-3.json";
    EXPECT_EQ(store->problem(), "Saved layouts couldn't be read, so they were set aside as " + thirdName + ".");
    EXPECT_EQ(readFile(folder / setAsideName), "first");
    EXPECT_EQ(readFile(folder / secondName), "second");
    EXPECT_EQ(readFile(folder / thirdName), "third");
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(LayoutStoreTest, AnUnreadableFileThatCannotBeSetAsideIsNeverWrittenOver) {
    writeFile(file, "not json");
    files->failMove = std::make_error_code(std::errc::permission_denied);
    const auto store = open();
    EXPECT_EQ(store->problem(), "Saved layouts couldn't be read, and couldn't be set aside: Permission denied. "
                                "Changes won't be saved until layouts.json is moved away.");

    const auto desk = layoutOn("Desk", {keyA()});
    store->add(desk);
    EXPECT_EQ(store->problem(), "Couldn't save layouts: the unreadable layouts.json is still in the way.");
    EXPECT_THAT(store->layouts(), ElementsAre(desk));
    EXPECT_TRUE(store->hasUnsavedChanges());
    EXPECT_EQ(files->writes, 0);
    EXPECT_EQ(readFile(file), "not json");

    // Once the user has moved the file away, saving goes on, with everything made meanwhile.
    std::filesystem::rename(file, folder / "rescued.json");
    store->rename(desk.id, "Desk 2");
    EXPECT_FALSE(store->hasUnsavedChanges());
    EXPECT_THAT(names(onDisk()), ElementsAre("Desk 2"));
    EXPECT_EQ(readFile(folder / "rescued.json"), "not json");
}

TEST_F(LayoutStoreTest, AFailedWriteKeepsTheChangeInMemoryAndTheOldFile) {
    const auto desk = layoutOn("Desk", {keyA()});
    const auto store = openWith({desk});
    const auto before = readFile(file);

    files->failWrite = std::make_error_code(std::errc::no_space_on_device);
    store->rename(desk.id, "Renamed");
    EXPECT_EQ(store->problem(), "Couldn't save layouts: No space left on device");
    EXPECT_THAT(names(store->layouts()), ElementsAre("Renamed"));
    EXPECT_TRUE(store->hasUnsavedChanges());
    EXPECT_EQ(readFile(file), before);

    files->failWrite.reset();
    store->setAutoRestore(desk.id, false);
    EXPECT_FALSE(store->hasUnsavedChanges());
    EXPECT_EQ(store->problem(), "Couldn't save layouts: No space left on device"); // left for the user to read
    EXPECT_THAT(names(onDisk()), ElementsAre("Renamed"));
}

TEST_F(LayoutStoreTest, AFolderThatCannotBeCreatedIsReported) {
    writeFile(folder / "plain", "a file, not a folder");
    file = folder / "plain" / "layouts.json";
    const auto store = open();
    store->add(layoutOn("Desk", {keyA()}));
    EXPECT_EQ(store->problem(), "Couldn't save layouts: Not a directory");
    EXPECT_EQ(store->layouts().size(), 1u);
}

// ---- Operations --------------------------------------------------------------------------------

TEST_F(LayoutStoreTest, RenameSetsTheNameAsGivenAndStampsTheWholeSecond) {
    const auto desk = layoutOn("Desk", {keyA()});
    const auto store = openWith({desk});
    store->rename(desk.id, "  Home  ");
    const auto renamed = store->layout(desk.id);
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->name, "  Home  ");
    EXPECT_EQ(renamed->updated, Timestamp(std::chrono::seconds(fixedSeconds)));
    EXPECT_EQ(renamed->created, desk.created);
    EXPECT_THAT(onDisk(), ElementsAre(*renamed));

    const int writes = files->writes;
    store->rename(Uuid::random(), "Nobody");
    store->setAutoRestore(Uuid::random(), true);
    EXPECT_EQ(files->writes, writes);
}

TEST_F(LayoutStoreTest, DuplicateAppendsAFreshCopyAtTheEnd) {
    auto first = layoutOn("First", {keyA(), keyB()});
    first.autoRestore = true;
    const auto store = openWith({first, layoutOn("Second", {keyA()})});
    const auto copy = store->duplicate(first.id, "Copy");
    ASSERT_TRUE(copy);
    EXPECT_THAT(names(store->layouts()), ElementsAre("First", "Second", "Copy"));
    EXPECT_EQ(store->layouts().back(), *copy);
    EXPECT_NE(copy->id, first.id);
    EXPECT_EQ(copy->created, Timestamp(std::chrono::seconds(fixedSeconds)));
    EXPECT_EQ(copy->updated, copy->created);
    EXPECT_FALSE(copy->autoRestore);
    EXPECT_EQ(copy->displays, first.displays);
    EXPECT_EQ(copy->windows, first.windows);
    EXPECT_EQ(onDisk(), store->layouts());

    const int writes = files->writes;
    EXPECT_FALSE(store->duplicate(Uuid::random(), "None"));
    EXPECT_EQ(files->writes, writes);
}

TEST_F(LayoutStoreTest, DeleteRemovesEveryLayoutWithTheIdAndAlwaysWrites) {
    const auto desk = layoutOn("Desk", {keyA()});
    auto twin = layoutOn("Twin", {keyB()});
    twin.id = desk.id;
    const auto other = layoutOn("Other", {keyA()});
    const auto store = openWith({desk, other, twin});
    store->deleteLayout(desk.id);
    EXPECT_THAT(store->layouts(), ElementsAre(other));
    EXPECT_THAT(onDisk(), ElementsAre(other));

    // An unknown id rewrites the file as it was: even a file edited by someone else meanwhile.
    writeFile(file, LayoutsFile::encode({desk, other}));
    const int writes = files->writes;
    store->deleteLayout(Uuid::random());
    EXPECT_EQ(files->writes, writes + 1);
    EXPECT_THAT(onDisk(), ElementsAre(other));
}

TEST_F(LayoutStoreTest, AutoRestoreIsUniquePerSetOfMonitors) {
    auto ab = layoutOn("AB", {keyA(), keyB()});
    auto ba = layoutOn("BA", {keyB(), keyA()});
    auto a = layoutOn("A", {keyA()});
    auto abc = layoutOn("ABC", {keyA(), keyB(), keyC()});
    ba.autoRestore = a.autoRestore = abc.autoRestore = true;
    const auto store = openWith({ab, ba, a, abc});

    store->setAutoRestore(ab.id, true);
    std::vector<bool> flags;
    for (const auto& layout : store->layouts()) flags.push_back(layout.autoRestore);
    EXPECT_THAT(flags, ElementsAre(true, false, true, true));
    EXPECT_EQ(store->layout(ab.id)->updated, ab.updated);
    EXPECT_EQ(onDisk(), store->layouts());

    store->setAutoRestore(ab.id, false);
    flags.clear();
    for (const auto& layout : store->layouts()) flags.push_back(layout.autoRestore);
    EXPECT_THAT(flags, ElementsAre(false, false, true, true));
}

TEST_F(LayoutStoreTest, MatchingKeepsTheLayoutsThatFitTheConnectedDisplays) {
    auto ab = layoutOn("AB", {keyA(), keyB()});
    auto abAuto = layoutOn("AB auto", {keyB(), keyA()});
    abAuto.autoRestore = true;
    const auto a = layoutOn("A", {keyA()});
    const auto store = openWith({ab, a, abAuto});

    // Another port gives other UUIDs: the keys still pair them.
    auto left = connected(ab.displays[0], 1), right = connected(ab.displays[1], 2);
    left.uuid = "ELSEWHERE-1";
    const std::vector<DisplayInfo> two = {left, right};
    EXPECT_THAT(names(store->matching(two)), ElementsAre("AB", "AB auto"));
    EXPECT_EQ(store->autoLayout(two)->name, "AB auto");

    // Two saved displays never fit three connected ones, even when two of them pair.
    const std::vector<DisplayInfo> three = {left, right, connected(layoutOn("C", {keyC()}).displays[0], 3)};
    EXPECT_TRUE(store->matching(three).empty());
    EXPECT_FALSE(store->autoLayout(three));

    EXPECT_THAT(names(store->matching({connected(a.displays[0], 1)})), ElementsAre("A"));
    EXPECT_FALSE(store->autoLayout({connected(a.displays[0], 1)}));
}

TEST_F(LayoutStoreTest, SuggestedNameIsTheFirstFreeNumber) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "Layout 1"},
        {{"Layout 1", "Layout 3"}, "Layout 2"},
        {{"layout 1"}, "Layout 1"},
        {{"Layout 1 ", "Layout 01"}, "Layout 1"},
        {{"Layout 2", "Layout 1", "Layout 3"}, "Layout 4"},
    };
    for (const auto& [taken, expected] : cases) {
        std::vector<SavedLayout> layouts;
        for (const auto& name : taken) layouts.push_back(layoutOn(name, {keyA()}));
        EXPECT_EQ(openWith(layouts)->suggestedName(), expected);
    }
}

TEST_F(LayoutStoreTest, ReplacePutsALayoutInThePlaceOfTheOneWithItsId) {
    const auto desk = layoutOn("Desk", {keyA()});
    const auto store = openWith({desk, layoutOn("Other", {keyB()})});
    auto updated = desk;
    updated.windows.clear();
    EXPECT_TRUE(store->replace(updated));
    EXPECT_EQ(store->layouts().front(), updated);
    EXPECT_EQ(onDisk(), store->layouts());
    EXPECT_FALSE(store->replace(layoutOn("Stranger", {keyA()})));
    EXPECT_EQ(store->layouts().size(), 2u);
}

// ---- Observation -------------------------------------------------------------------------------

TEST_F(LayoutStoreTest, ObserversAreToldOnlyAboutRealChanges) {
    const auto desk = layoutOn("Desk", {keyA()});
    const auto store = openWith({desk});
    int layoutChanges = 0;
    std::vector<std::optional<std::string>> problems;
    auto layoutsSubscription = store->observeLayouts([&](const std::vector<SavedLayout>&) { ++layoutChanges; });
    const auto problemSubscription = store->observeProblem([&](const auto& problem) { problems.push_back(problem); });

    store->setAutoRestore(desk.id, false); // already off
    store->deleteLayout(Uuid::random());
    EXPECT_EQ(layoutChanges, 0);

    store->setAutoRestore(desk.id, true);
    EXPECT_EQ(layoutChanges, 1);

    files->failWrite = std::make_error_code(std::errc::io_error);
    store->rename(desk.id, "One");
    store->rename(desk.id, "Two");
    EXPECT_EQ(layoutChanges, 3);
    EXPECT_THAT(problems, ElementsAre("Couldn't save layouts: Input/output error"));

    layoutsSubscription.reset();
    store->rename(desk.id, "Three");
    EXPECT_EQ(layoutChanges, 3);
}

// ---- Location ----------------------------------------------------------------------------------

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(LayoutStoreLocationTest, DefaultURLFollowsTheDataFolderConvention) {
    const ScopedEnvironment home("HOME", "/home/ada");
#if defined(__APPLE__)
    EXPECT_EQ(LayoutStore::defaultURL(), "/home/ada/Library/Application Support/Quiltwright/layouts.json");
#else
    {
        const ScopedEnvironment xdg("XDG_DATA_HOME", "/data/ada");
        EXPECT_EQ(LayoutStore::defaultURL(), "/data/ada/Quiltwright/layouts.json");
    }
    {
        const ScopedEnvironment xdg("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(LayoutStore::defaultURL(), "/home/ada/.local/share/Quiltwright/layouts.json");
    }
    const ScopedEnvironment xdg("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(LayoutStore::defaultURL(), "/home/ada/.local/share/Quiltwright/layouts.json");
#endif
}

} // namespace
} // namespace qw
