#pragma once

#include "cli/commands.h"

#include <vector>

namespace qw::cli {

// `run [--for SECONDS]`: the app without its windows (store, inventory, editor and automatic
// restorer, wired as the app wires them) while the world's timeline plays, printing each new
// editor report and each new summary of an automatic run as it appears.
std::vector<Command> runCommands();

} // namespace qw::cli
