#pragma once

#include "cli/commands.h"

#include <vector>

namespace qw::cli {

// save and update: capturing the current windows into a layout.
std::vector<Command> captureCommands();

} // namespace qw::cli
