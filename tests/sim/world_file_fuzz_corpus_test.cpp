#include "harness/world_file.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace qw {
namespace {

// Every seed of the world-file fuzz target runs as the fuzzer runs it, without a fault. A seed named
// "refused_..." stands for a broken file and must be refused with a message; every other seed is a
// world that must be read, and come back equal from a round through the writer.
TEST(WorldFileFuzzCorpusTest, EverySeedIsReadOrRefusedAsItsNameSays) {
    const std::filesystem::path corpus = std::filesystem::path(QW_SOURCE_DIR) / "fuzz" / "corpus" / "world_file";
    int accepted = 0, refused = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const auto run = fuzzing::runWorldFile(test_support::readFile(entry.path()));
        EXPECT_EQ(run.fault, std::nullopt);
        if (name.starts_with("refused_")) {
            EXPECT_FALSE(run.accepted);
            EXPECT_FALSE(run.message.empty());
            ++refused;
        } else {
            EXPECT_TRUE(run.accepted) << run.message;
            ++accepted;
        }
    }
    EXPECT_GT(accepted, 0) << "no world in " << corpus;
    EXPECT_GT(refused, 0) << "no broken file in " << corpus;
}

} // namespace
} // namespace qw
