#pragma once

#include "cli/commands.h"

#include <vector>

namespace qw::cli {

// plan: what restoring a layout would do, touching no window.
std::vector<Command> planCommands();

} // namespace qw::cli
