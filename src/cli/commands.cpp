#include "cli/commands.h"

#include "cli/capture_commands.h"
#include "cli/desktop_commands.h"
#include "cli/inventory_command.h"
#include "cli/layout_commands.h"
#include "cli/plan_commands.h"
#include "cli/restore_command.h"
#include "cli/run_command.h"
#include "cli/window_commands.h"

namespace qw::cli {

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = [] {
        std::vector<Command> all;
        for (const auto& group : {layoutCommands(), inventoryCommands(), captureCommands(), planCommands(), windowCommands(), desktopCommands(), runCommands(), restoreCommands()}) all.insert(all.end(), group.begin(), group.end());
        return all;
    }();
    return table;
}

const Command* findCommand(std::string_view name) {
    for (const auto& command : commandTable())
        if (command.name == name) return &command;
    return nullptr;
}

} // namespace qw::cli
