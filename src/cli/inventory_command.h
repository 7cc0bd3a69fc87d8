#pragma once

#include "cli/commands.h"

#include <vector>

namespace qw::cli {

// `inventory`: the connected displays with their desktops, then the recordable windows.
std::vector<Command> inventoryCommands();

} // namespace qw::cli
