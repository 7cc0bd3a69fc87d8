#pragma once

#include "cli/commands.h"

#include <vector>

namespace qw::cli {

// `send WINDOW INDEX` and `desktops add|remove ...`: a window carried to another desktop, a desktop
// added or removed through Mission Control, each printing the outcome.
std::vector<Command> desktopCommands();

} // namespace qw::cli
