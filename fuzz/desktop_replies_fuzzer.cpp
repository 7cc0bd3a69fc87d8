// Feeds SkyLight replies of every shape from the private desktop functions (see
// harness/desktop_replies.h for the input). Reading them must never crash or read out of bounds,
// SkyLight must call the functions as their contract says, and its records must stay consistent.

#include "harness/desktop_replies.h"
#include "harness/reply_mac.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Only its running apps are asked for, to name full-screen spaces; nothing changes it.
    static qw::fuzzing::ReplyMac mac;
    const auto run = qw::fuzzing::runDesktopReplies(std::string_view(reinterpret_cast<const char*>(data), size),
                                                    mac.platform().workspace);
    if (run.fault) {
        std::fprintf(stderr, "desktop replies: %s\n", run.fault->c_str());
        std::abort();
    }
    return 0;
}
