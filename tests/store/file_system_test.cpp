#include "store/file_system.h"

#include "support/file_size_limit.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace qw {
namespace {

using namespace test_support;
namespace fs = std::filesystem;

class LocalFileSystemTest : public ::testing::Test {
protected:
    TempFolder folder;
    LocalFileSystem files;
};

TEST_F(LocalFileSystemTest, AtomicWriteReplacesTheFileKeepingItsPermissions) {
    const auto file = folder / "layouts.json";
    EXPECT_FALSE(files.writeAtomically(file, "first"));
    ::chmod(file.c_str(), 0640);
    EXPECT_FALSE(files.writeAtomically(file, "second"));
    EXPECT_EQ(readFile(file), "second");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folder.entries(), std::set<std::string>{"layouts.json"});
}

TEST_F(LocalFileSystemTest, AtomicWriteTakesTheLongestFileNames) {
    const auto file = folder / (std::string(250, 'l') + ".json"); // 255 bytes, the usual limit
    EXPECT_FALSE(files.writeAtomically(file, "data"));
    EXPECT_EQ(readFile(file), "data");
}

TEST_F(LocalFileSystemTest, AtomicWriteKeepsASymbolicLinkAndReplacesWhatItPointsTo) {
    fs::create_directories(folder / "synced");
    writeFile(folder / "synced" / "layouts.json", "old");
    fs::create_symlink(folder / "synced" / "layouts.json", folder / "layouts.json");
    EXPECT_FALSE(files.writeAtomically(folder / "layouts.json", "new"));
    EXPECT_TRUE(fs::is_symlink(folder / "layouts.json"));
    EXPECT_EQ(readFile(folder / "synced" / "layouts.json"), "new");
}

TEST_F(LocalFileSystemTest, AFailedAtomicWriteLeavesNoTemporaryFileAndTheOldContents) {
    const auto file = folder / "layouts.json";
    writeFile(file, "old contents");
    {
        const FileSizeLimit limit(4);
        EXPECT_EQ(files.writeAtomically(file, "new contents, too long for the limit"), std::errc::file_too_large);
    }
    EXPECT_EQ(readFile(file), "old contents");
    EXPECT_EQ(folder.entries(), std::set<std::string>{"layouts.json"});
}

TEST_F(LocalFileSystemTest, AFailedRenameLeavesNoTemporaryFile) {
    // The rename over a folder that holds something fails after the temporary file was written.
    fs::create_directories(folder / "layouts.json" / "inside");
    const auto error = files.writeAtomically(folder / "layouts.json", "data");
    ASSERT_TRUE(error);
    EXPECT_FALSE(error.message().empty());
    EXPECT_EQ(folder.entries(), std::set<std::string>{"layouts.json"});

    EXPECT_EQ(files.writeAtomically(folder / "missing" / "layouts.json", "data"), std::errc::no_such_file_or_directory);
}

TEST_F(LocalFileSystemTest, MoveNeverReplacesWhatIsAlreadyThere) {
    writeFile(folder / "a", "A");
    writeFile(folder / "b", "B");
    EXPECT_EQ(files.moveWithoutReplacing(folder / "a", folder / "b"), std::errc::file_exists);
    EXPECT_EQ(readFile(folder / "a"), "A");
    EXPECT_EQ(readFile(folder / "b"), "B");

    EXPECT_FALSE(files.moveWithoutReplacing(folder / "a", folder / "c"));
    EXPECT_EQ(folder.entries(), (std::set<std::string>{"b", "c"}));
    EXPECT_EQ(readFile(folder / "c"), "A");
    EXPECT_EQ(files.moveWithoutReplacing(folder / "gone", folder / "d"), std::errc::no_such_file_or_directory);
}

TEST_F(LocalFileSystemTest, CreatesFoldersAndRefusesAFileInTheWay) {
    EXPECT_FALSE(files.createFolders(folder / "x" / "y"));
    EXPECT_FALSE(files.createFolders(folder / "x" / "y"));
    EXPECT_TRUE(fs::is_directory(folder / "x" / "y"));
    writeFile(folder / "file", "");
    EXPECT_TRUE(files.createFolders(folder / "file"));
    EXPECT_TRUE(files.createFolders(folder / "file" / "below"));
}

TEST_F(LocalFileSystemTest, ReadsWholeFilesWithinALimit) {
    writeFile(folder / "f", std::string("a\0b", 3));
    const auto read = files.read(folder / "f", 3);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, std::string("a\0b", 3));

    const auto tooLarge = files.read(folder / "f", 2);
    ASSERT_FALSE(tooLarge);
    EXPECT_EQ(tooLarge.message(), "File too large");
    EXPECT_EQ(files.read(folder / "missing", 10).message(), "No such file or directory");
    EXPECT_EQ(files.read(folder.path(), 10).message(), "Is a directory");
}

TEST_F(LocalFileSystemTest, ExistsCountsEverythingButAFreePlace) {
    EXPECT_FALSE(files.exists(folder / "missing"));
    writeFile(folder / "file", "");
    EXPECT_TRUE(files.exists(folder / "file"));
    EXPECT_FALSE(files.exists(folder / "file" / "below"));
    fs::create_symlink(folder / "nowhere", folder / "dangling");
    EXPECT_TRUE(files.exists(folder / "dangling"));
}

TEST_F(LocalFileSystemTest, RemovesOnlyTheTemporaryFilesThatWritesLeftLongAgo) {
    const auto touchedAgo = [&](const std::string& name, std::chrono::seconds age) {
        writeFile(folder / name, "partial");
        fs::last_write_time(folder / name, fs::file_time_type::clock::now() - age);
    };
    writeFile(folder / "layouts.json", "[]");
    touchedAgo(".layouts.json.0a1b2c3d.tmp", std::chrono::hours(1));         // left by a killed write
    touchedAgo(".layouts.json.4e5f6a7b.tmp", std::chrono::seconds(1));       // a write under way
    touchedAgo(".other.json.0a1b2c3d.tmp", std::chrono::hours(1));           // another file's
    touchedAgo(".layouts.json.notmine-at-all.tmp", std::chrono::hours(1));   // not a name writes use
    touchedAgo(".layouts.json.0a1b2c3d.tmp.keep", std::chrono::hours(1));

    files.removeLeftovers(folder / "layouts.json");
    EXPECT_EQ(folder.entries(), (std::set<std::string>{"layouts.json", ".layouts.json.4e5f6a7b.tmp", ".other.json.0a1b2c3d.tmp",
                                                       ".layouts.json.notmine-at-all.tmp", ".layouts.json.0a1b2c3d.tmp.keep"}));
    files.removeLeftovers(folder / "missing-folder" / "layouts.json"); // nothing to do, nothing thrown
}

} // namespace
} // namespace qw
