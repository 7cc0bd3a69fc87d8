#pragma once

#include "cli/commands.h"

#include <vector>

namespace qw::cli {

// layouts, rename, duplicate, delete and auto: the saved layouts and the store's operations on them.
std::vector<Command> layoutCommands();

} // namespace qw::cli
