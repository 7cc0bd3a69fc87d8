#include "cli/layout_commands.h"

#include "cli/layout_argument.h"
#include "cli/run.h"
#include "cli/session.h"
#include "cli/text.h"
#include "model/saved_layout_json.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace qw::cli {

namespace {

// A name the user gives must be text that the layouts file can hold and that can be told apart.
std::optional<std::string> checkName(const std::string& name) {
    if (name.empty()) return "NAME is empty";
    if (!isValidUtf8(name)) return "NAME is not valid UTF-8";
    return std::nullopt;
}

std::string wrongCount(std::string_view expected, std::size_t given) {
    return "expected " + std::string(expected) + ", got " + count(given, "argument");
}


int listLayouts(Session& session, const std::vector<std::string>& args) {
    bool json = false;
    for (const auto& arg : args) {
        if (arg != "--json" || json) return session.usageError("layouts", "unexpected argument " + quote(arg));
        json = true;
    }
    const LayoutStore& store = session.store();
    const auto& displays = session.connectedDisplays();

    if (json) {
        nlohmann::json list = nlohmann::json::array();
        for (const auto& layout : store.layouts()) {
            auto item = toJson(layout);
            item["fits"] = LayoutStore::fits(layout, displays);
            list.push_back(std::move(item));
        }
        session.out() << list.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return exitSuccess;
    }

    if (store.layouts().empty()) session.out() << "No saved layouts.\n";
    for (const auto& layout : store.layouts()) {
        session.out() << printable(layout.name) << "  " << layout.id.string() << "  "
                      << count(layout.displays.size(), "display") << ", " << count(layout.windows.size(), "window")
                      << ", auto: " << (layout.autoRestore ? "on" : "off") << ", fits: " << (LayoutStore::fits(layout, displays) ? "yes" : "no")
                      << "\n";
    }
    return exitSuccess;
}

int renameLayout(Session& session, const std::vector<std::string>& args) {
    if (args.size() != 2) return session.usageError("rename", wrongCount("LAYOUT NAME", args.size()));
    if (const auto problem = checkName(args[1])) return session.usageError("rename", *problem);
    LayoutStore& store = session.store();
    const auto layout = findLayout(store, args[0]);
    if (!layout) return session.fail(layout.message());

    store.rename(layout->id, args[1]);
    if (store.hasUnsavedChanges()) return exitFailure; // the store's problem says why
    session.out() << "Renamed " << quote(layout->name) << " to " << quote(args[1]) << ".\n";
    return exitSuccess;
}

int duplicateLayout(Session& session, const std::vector<std::string>& args) {
    if (args.size() != 2) return session.usageError("duplicate", wrongCount("LAYOUT NAME", args.size()));
    if (const auto problem = checkName(args[1])) return session.usageError("duplicate", *problem);
    LayoutStore& store = session.store();
    const auto layout = findLayout(store, args[0]);
    if (!layout) return session.fail(layout.message());

    const auto copy = store.duplicate(layout->id, args[1]);
    if (!copy || store.hasUnsavedChanges()) return exitFailure;
    session.out() << "Duplicated " << quote(layout->name) << " as " << quote(copy->name) << ", id "
                  << copy->id.string() << ".\n";
    return exitSuccess;
}

int deleteLayout(Session& session, const std::vector<std::string>& args) {
    if (args.size() != 1) return session.usageError("delete", wrongCount("LAYOUT", args.size()));
    LayoutStore& store = session.store();
    const auto layout = findLayout(store, args[0]);
    if (!layout) return session.fail(layout.message());

    store.deleteLayout(layout->id);
    if (store.hasUnsavedChanges()) return exitFailure;
    session.out() << "Deleted " << quote(layout->name) << ".\n";
    return exitSuccess;
}

int setAutoRestore(Session& session, const std::vector<std::string>& args) {
    if (args.size() != 2) return session.usageError("auto", wrongCount("LAYOUT on|off", args.size()));
    if (args[1] != "on" && args[1] != "off")
        return session.usageError("auto", "expected on or off, got " + quote(args[1]));
    const bool on = args[1] == "on";
    LayoutStore& store = session.store();
    const auto layout = findLayout(store, args[0]);
    if (!layout) return session.fail(layout.message());

    const auto before = store.layouts();
    store.setAutoRestore(layout->id, on);
    if (store.hasUnsavedChanges()) return exitFailure;

    // Turning it on turns it off on the other layouts made on the same monitors; say which.
    std::string turnedOff;
    const auto& after = store.layouts();
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        if (before[i].autoRestore && !after[i].autoRestore && after[i].id != layout->id)
            turnedOff += (turnedOff.empty() ? "" : ", ") + quote(after[i].name);
    }
    session.out() << "Automatic restore is " << args[1] << " for " << quote(layout->name) << ".";
    if (!turnedOff.empty()) session.out() << " It is now off for " << turnedOff << ", made on the same monitors.";
    session.out() << "\n";
    return exitSuccess;
}

} // namespace

std::vector<Command> layoutCommands() {
    return {
        {"layouts", "[--json]", "the saved layouts: name, id, displays, windows, automatic restore, fit",
         &listLayouts},
        {"rename", "LAYOUT NAME", "give a layout a new name", &renameLayout},
        {"duplicate", "LAYOUT NAME", "copy a layout under a new name", &duplicateLayout},
        {"delete", "LAYOUT", "delete a layout", &deleteLayout},
        {"auto", "LAYOUT on|off", "restore a layout automatically on its monitors, or not", &setAutoRestore},
    };
}

} // namespace qw::cli
