// Feeds arbitrary bytes to the simulated Mac's world-file reader. It must never crash, throw or read
// out of bounds; what it refuses carries a message, and what it accepts must come back equal from
// being written and read again, and make a simulated Mac that answers.

#include "harness/world_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto run = qw::fuzzing::runWorldFile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (run.fault) {
        std::fprintf(stderr, "world file: %s\n", run.fault->c_str());
        std::abort();
    }
    return 0;
}
