#pragma once

#include "cli/commands.h"

#include <vector>

namespace qw::cli {

// `move WINDOW FRAME` and `open APP_PATH FRAME`: one window moved, one app opened and its window
// placed, each printing the outcome.
std::vector<Command> windowCommands();

} // namespace qw::cli
