#include "cli/inventory_command.h"

#include "cli/record_json.h"
#include "cli/run.h"
#include "cli/session.h"
#include "cli/text.h"

#include <nlohmann/json.hpp>

namespace qw::cli {

namespace {

std::string spaceLine(const SpaceInfo& space, bool shown) {
    std::string line = std::to_string(space.index) + ". " + printable(space.nickname.value_or(space.name));
    if (space.nickname) line += " (" + printable(space.name) + ")";
    if (space.isFullscreen) line += ", full screen";
    line += ", id " + std::to_string(space.id);
    if (shown) line += ", shown";
    return line;
}

std::string spacesText(const std::vector<SpaceID>& ids) {
    if (ids.empty()) return "none";
    std::string text;
    for (const auto id : ids) text += (text.empty() ? "" : ", ") + std::to_string(id);
    return text;
}

void printText(std::ostream& out, const Inventory& inventory) {
    out << "Displays:\n";
    for (const auto& display : inventory.displays()) {
        out << "  " << printable(display.name) << ", id " << display.id << ", "
            << (display.uuid.empty() ? "no UUID" : "UUID " + printable(display.uuid)) << ", "
            << frameText(display.frame) << (display.isMain ? ", main" : "") << "\n";
        for (const auto& space : display.spaces)
            out << "    " << spaceLine(space, space.id == display.currentSpaceID) << "\n";
    }
    out << "Windows, front to back:\n";
    if (inventory.windows().empty()) out << "  none\n";
    for (const auto& window : inventory.windows()) {
        out << "  " << window.id << "  " << printable(window.appName);
        if (!window.title.empty()) out << " " << quote(window.title);
        out << "  " << frameText(window.frame) << ", desktops " << spacesText(window.spaceIDs)
            << (window.isOnScreen ? ", on screen" : ", off screen") << "\n";
    }
}

int showInventory(Session& session, const std::vector<std::string>& args) {
    bool json = false;
    for (const auto& arg : args) {
        if (arg != "--json" || json) return session.usageError("inventory", "unexpected argument " + quote(arg));
        json = true;
    }
    const Inventory& inventory = session.system().inventory();
    if (!json) {
        printText(session.out(), inventory);
        return exitSuccess;
    }
    nlohmann::json displays = nlohmann::json::array(), windows = nlohmann::json::array();
    for (const auto& display : inventory.displays()) displays.push_back(toJson(display));
    for (const auto& window : inventory.windows()) windows.push_back(toJson(window));
    const nlohmann::json out{{"displays", std::move(displays)}, {"windows", std::move(windows)}};
    session.out() << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return exitSuccess;
}

} // namespace

std::vector<Command> inventoryCommands() {
    return {
        {"inventory", "[--json]", "the connected displays with their desktops, then the windows front to back",
         &showInventory},
    };
}

} // namespace qw::cli
