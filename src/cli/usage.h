#pragma once

#include <string>

namespace qw::cli {

// The help text: the global options and the commands, from their tables.
std::string usage();

} // namespace qw::cli
