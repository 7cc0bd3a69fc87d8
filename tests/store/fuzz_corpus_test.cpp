#include "store/layouts_file.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qw {
namespace {

// Every seed of the decoder's fuzz target decodes without throwing or crashing, to a failure that
// says something or to layouts that survive a second round.
TEST(LayoutsFileFuzzCorpusTest, EverySeedReplays) {
    const std::filesystem::path corpus = std::filesystem::path(QW_SOURCE_DIR) / "fuzz" / "corpus" / "layouts_file";
    int seeds = 0, accepted = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        SCOPED_TRACE(entry.path().filename().string());
        const auto decoded = LayoutsFile::decode(test_support::readFile(entry.path()));
        ++seeds;
        if (!decoded) {
            EXPECT_FALSE(decoded.message().empty());
            continue;
        }
        ++accepted;
        const auto again = LayoutsFile::decode(LayoutsFile::encode(*decoded));
        ASSERT_TRUE(again) << again.message();
        EXPECT_EQ(*again, *decoded);
    }
    EXPECT_GT(seeds, 0) << "no seeds in " << corpus;
    EXPECT_GT(accepted, 0) << "no valid seed in " << corpus;
}

} // namespace
} // namespace qw
