#include "cli/usage.h"

#include "cli/commands.h"
#include "cli/global_options.h"
#include "store/layout_store.h"

#include <algorithm>
#include <sstream>

namespace qw::cli {

namespace {

// Left columns wider than this put their summary on a line of its own, so that one long entry does
// not push every summary far to the right.
constexpr std::size_t widestColumn = 32;

void addRow(std::ostringstream& out, const std::string& left, std::string_view summary, std::size_t width) {
    if (left.size() > width) {
        out << "  " << left << "\n" << std::string(width + 4, ' ') << summary << "\n";
        return;
    }
    out << "  " << left << std::string(width - left.size() + 2, ' ') << summary << "\n";
}

} // namespace

std::string usage() {
    std::vector<std::pair<std::string, std::string_view>> options, commands;
    for (const auto& option : globalOptionTable())
        options.emplace_back(std::string(option.name) + (option.valueName.empty() ? "" : " ") +
                                 std::string(option.valueName),
                             option.summary);
    for (const auto& command : commandTable())
        commands.emplace_back(std::string(command.name) + (command.arguments.empty() ? "" : " ") +
                                  std::string(command.arguments),
                              command.summary);
    std::size_t width = 0;
    for (const auto& rows : {options, commands})
        for (const auto& row : rows)
            if (row.first.size() <= widestColumn) width = std::max(width, row.first.size());

    std::ostringstream out;
    out << "Usage: quiltwright [OPTIONS] COMMAND [ARGUMENTS]\n\n"
        << "Quiltwright remembers how windows are arranged across monitors and desktops, and puts them back.\n\n"
        << "Options:\n";
    for (const auto& [left, summary] : options) addRow(out, left, summary, width);
    out << "\nCommands:\n";
    for (const auto& [left, summary] : commands) addRow(out, left, summary, width);
    out << "\nLAYOUT is a layout's exact name, else its id (in either case).\n"
        << "The layouts file is " << LayoutStore::defaultURL().string() << " unless --layouts names another.\n"
        << "Exit status: 0 done, 1 failed or not found, 2 wrong command line.\n";
    return out.str();
}

} // namespace qw::cli
