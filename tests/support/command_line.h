#pragma once

#include "cli/run.h"
#include "model/rect.h"
#include "platform/sim/simulated_mac.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace qw::test_support {

// What one run of the command line gave.
struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

inline CommandRun runCommandLine(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

// The frame of a window in a world file that --world-out wrote; the null rectangle when the file or
// the window is missing (which fails the test).
inline Rect frameInWorldFile(const std::filesystem::path& file, WindowID id) {
    const auto world = sim::readWorldFile(file);
    EXPECT_TRUE(world) << (world ? "" : world.message());
    if (!world) return Rect::null();
    for (const sim::Window& w : world->windows)
        if (w.id == id) return w.frame;
    ADD_FAILURE() << "no window " << id << " in " << file;
    return Rect::null();
}

} // namespace qw::test_support
