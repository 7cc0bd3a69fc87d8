// Feeds the Inventory window lists of every shape (see harness/window_list.h for the input), on a
// small simulated Mac. Reading them must never crash or read out of bounds, and the windows kept
// must be ones a layout can record.

#include "harness/window_list.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Only read from: the displays, apps and desktops around the scripted window list.
    static qw::fuzzing::ReplyMac mac;
    const auto run = qw::fuzzing::runWindowList(std::string_view(reinterpret_cast<const char*>(data), size), mac);
    if (run.fault) {
        std::fprintf(stderr, "window list: %s\n", run.fault->c_str());
        std::abort();
    }
    return 0;
}
