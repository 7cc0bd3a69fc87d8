#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qw::cli {

// Exit statuses of the command line.
enum ExitStatus : int {
    exitSuccess = 0, // the command did its work
    exitFailure = 1, // it ran, but what it was asked to do failed or named something not there
    exitUsage = 2,   // the command line itself is wrong
};

// Runs `quiltwright` with `args` (without the program's own name): plain text or JSON on `out`,
// messages on `err`. Returns the exit status.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qw::cli
