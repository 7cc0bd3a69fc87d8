#pragma once

#include "model/result.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qw::cli {

// The options given before the command.
struct GlobalOptions {
    std::optional<std::filesystem::path> layoutsFile; // absent: the store's default location
    std::optional<std::filesystem::path> worldFile;   // absent: the built-in demo world
    std::optional<std::filesystem::path> worldOutFile; // where the world is written when the command ends
    bool help = false;
};

// One global option as the parser and the usage know it. Adding an option is adding an entry to
// globalOptionTable() and, where it needs one, a field to GlobalOptions.
struct GlobalOption {
    std::string_view name;      // "--layouts"
    std::string_view valueName; // "FILE"; empty for a switch
    std::string_view summary;   // for the usage
    void (*apply)(GlobalOptions& options, const std::string& value);
};

const std::vector<GlobalOption>& globalOptionTable();

// A command line split into its global options and the command with its own arguments.
struct Invocation {
    GlobalOptions options;
    std::vector<std::string> command; // the command's name then its arguments; empty when none
};

// Reads the global options up to the first argument that is not one (or up to "--"). An option
// with a value takes it as the next argument or after "=", as in --layouts=FILE.
Result<Invocation> parseInvocation(const std::vector<std::string>& args);

} // namespace qw::cli
