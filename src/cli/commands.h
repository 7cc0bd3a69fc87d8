#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qw::cli {

class Session;

// One command of the command line. `run` gets the arguments after the command's name, checks
// them before it touches anything, and returns the exit status.
struct Command {
    std::string_view name;
    std::string_view arguments; // as the usage shows them, "LAYOUT NAME"
    std::string_view summary;
    int (*run)(Session& session, const std::vector<std::string>& args);
};

// Every command, in the order the usage lists them.
const std::vector<Command>& commandTable();
const Command* findCommand(std::string_view name);

} // namespace qw::cli
