#pragma once

#include "cli/commands.h"

#include <vector>

namespace qw::cli {

// restore: restores a saved layout on the world and prints the final report.
std::vector<Command> restoreCommands();

} // namespace qw::cli
