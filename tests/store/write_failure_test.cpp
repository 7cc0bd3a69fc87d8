#include "store/layout_store.h"

#include "store/layouts_file.h"
#include "store_fixtures.h"
#include "support/scratch_file_system.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace qw {
namespace {

using namespace test_support;

// Real write failures on a file system of the test's own: the store says why in `problem`, keeps
// the change in memory, leaves the old file as it was, and saves everything once writing works.
// The checks run in a child process (see scratch_file_system.h), so they collect what they find
// as text instead of using the test framework's assertions.
class LayoutStoreWriteFailureTest : public ::testing::Test {
protected:
    static constexpr std::size_t scratchBytes = 64 * 1024;

    void runOnScratch(const std::function<void(std::ostringstream& wrong)>& check) {
        const auto outcome = scratch::run(folder.path(), scratchBytes, [&] {
            std::ostringstream wrong;
            check(wrong);
            return wrong.str();
        });
        if (const auto* unavailable = std::get_if<scratch::Unavailable>(&outcome))
            GTEST_SKIP() << "no file system of the test's own here: " << unavailable->reason;
        EXPECT_EQ(std::get<scratch::Findings>(outcome).text, "");
    }

    std::unique_ptr<LayoutStore> open() const {
        return std::make_unique<LayoutStore>(file, std::make_shared<LocalFileSystem>(), [] { return fixedTime(); });
    }

    // Checks what must hold while writing fails: the sentence, the change in memory, the old file.
    void expectFailedSave(std::ostringstream& wrong, const LayoutStore& store, const std::string& sentence,
                          std::size_t layoutsInMemory, const std::string& fileBefore) const {
        if (store.problem() != sentence) wrong << "problem: " << store.problem().value_or("(none)") << "\n";
        if (store.layouts().size() != layoutsInMemory) wrong << "layouts in memory: " << store.layouts().size() << "\n";
        if (!store.hasUnsavedChanges()) wrong << "the store does not know the file lags behind\n";
        if (readFile(file) != fileBefore) wrong << "the old file was changed\n";
        if (folder.entries() != expectedEntries) wrong << "temporary files were left in the folder\n";
        const auto reread = open();
        if (reread->problem() || reread->layouts().size() + 1 != layoutsInMemory)
            wrong << "the old file no longer loads as it was\n";
    }

    TempFolder folder;
    std::filesystem::path file = folder / "layouts.json";
    std::set<std::string> expectedEntries{"layouts.json"};
};

TEST_F(LayoutStoreWriteFailureTest, AReadOnlyFolder) {
    runOnScratch([&](std::ostringstream& wrong) {
        const auto store = open();
        const SavedLayout desk = layoutOn("Desk", {keyA()});
        store->add(desk);
        const std::string before = readFile(file);
        if (!scratch::makeReadOnly(folder.path())) {
            wrong << "cannot make the folder read-only\n";
            return;
        }

        store->add(layoutOn("Sofa", {keyB()}));
        expectFailedSave(wrong, *store, "Couldn't save layouts: Read-only file system", 2, before);

        scratch::makeWritable(folder.path());
        store->rename(desk.id, "Desk again");
        const auto saved = LayoutsFile::decode(readFile(file));
        if (store->hasUnsavedChanges() || !saved || saved->size() != 2) wrong << "nothing saved once writable\n";
    });
}

TEST_F(LayoutStoreWriteFailureTest, AFullFileSystem) {
    runOnScratch([&](std::ostringstream& wrong) {
        const auto store = open();
        const SavedLayout desk = layoutOn("Desk", {keyA()});
        store->add(desk);
        const std::string before = readFile(file);

        // Fill every block that is left.
        const auto filler = folder / "filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        const int error = errno;
        ::close(fd);
        if (error != ENOSPC) wrong << "filling the file system ended with errno " << error << "\n";
        expectedEntries.insert("filler");

        store->add(layoutOn("Sofa", {keyB()}));
        expectFailedSave(wrong, *store, "Couldn't save layouts: No space left on device", 2, before);

        std::filesystem::remove(filler);
        expectedEntries.erase("filler");
        store->rename(desk.id, "Desk again");
        const auto saved = LayoutsFile::decode(readFile(file));
        if (store->hasUnsavedChanges() || !saved || saved->size() != 2) wrong << "nothing saved once there was room\n";
        if (folder.entries() != expectedEntries) wrong << "unexpected files once saved\n";
    });
}

} // namespace
} // namespace qw
