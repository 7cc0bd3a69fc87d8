#include "cli/plan_commands.h"

#include "cli/layout_argument.h"
#include "cli/run.h"
#include "cli/session.h"
#include "cli/text.h"
#include "model/saved_layout_json.h"
#include "restore/restorer.h"

#include <nlohmann/json.hpp>

#include <string>

namespace qw::cli {

namespace {

nlohmann::json planJson(const RestorePlan& plan) {
    nlohmann::json moves = nlohmann::json::object();
    for (const auto& [id, frame] : plan.moves) moves[std::to_string(id)] = toJson(frame);
    nlohmann::json desktops = nlohmann::json::object();
    for (const auto& [id, space] : plan.desktops) desktops[std::to_string(id)] = space;
    nlohmann::json launches = nlohmann::json::array();
    for (const auto& launch : plan.launches) {
        nlohmann::json item = {{"app", launch.app}, {"name", launch.name}, {"frame", toJson(launch.frame)}};
        if (launch.bundleID) item["bundleID"] = *launch.bundleID;
        if (launch.desktop) item["desktop"] = *launch.desktop;
        launches.push_back(std::move(item));
    }
    return {{"moves", moves},
            {"inPlace", plan.inPlace},
            {"notes", plan.notes},
            {"matched", plan.matched},
            {"launches", launches},
            {"desktops", desktops}};
}

void printPlan(std::ostream& out, const SavedLayout& layout, const RestorePlan& plan) {
    out << "Plan for " << quote(layout.name) << ": " << count(plan.moves.size(), "move") << ", " << plan.inPlace
        << " in place, " << count(plan.desktops.size(), "desktop change") << ", "
        << count(plan.launches.size(), "app") << " to open\n";
    for (const auto& [id, frame] : plan.moves) out << "move " << id << " to " << frameText(frame) << "\n";
    for (const auto& [id, space] : plan.desktops) out << "carry " << id << " to desktop " << space << "\n";
    for (const auto& launch : plan.launches) {
        out << "open " << printable(launch.name) << " (" << printable(launch.app) << ") at " << frameText(launch.frame);
        if (launch.desktop) out << " on desktop " << *launch.desktop;
        out << "\n";
    }
    for (const auto& note : plan.notes) out << "- " << printable(note) << "\n";
}

int planLayout(Session& session, const std::vector<std::string>& args) {
    std::optional<std::string> argument;
    bool json = false;
    bool desktops = true;
    for (const auto& arg : args) {
        if (arg == "--json" && !json)
            json = true;
        else if (arg == "--no-desktops" && desktops)
            desktops = false;
        else if (!argument && !(arg.size() > 1 && arg.starts_with("--")))
            argument = arg;
        else
            return session.usageError("plan", "unexpected argument " + quote(arg));
    }
    if (!argument) return session.usageError("plan", "expected LAYOUT");
    const auto layout = findLayout(session.store(), *argument);
    if (!layout) return session.fail(layout.message());

    System& system = session.system();
    const auto plan = Restorer::plan(*layout, system.inventory(), desktops, system.restorerApps());
    if (json)
        session.out() << planJson(plan).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    else
        printPlan(session.out(), *layout, plan);
    return exitSuccess;
}

} // namespace

std::vector<Command> planCommands() {
    return {
        {"plan", "LAYOUT [--json] [--no-desktops]", "what restoring a layout would do, touching no window", &planLayout},
    };
}

} // namespace qw::cli
