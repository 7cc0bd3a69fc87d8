#include "cli/window_commands.h"

#include "cli/run.h"
#include "cli/session.h"
#include "cli/text.h"
#include "cli/window_arguments.h"
#include "platform/main_loop.h"
#include "platform/workspace.h"
#include "restore/app_launcher.h"
#include "restore/window_mover.h"

#include <algorithm>
#include <optional>
#include <string>

namespace qw::cli {

namespace {

std::string wrongCount(std::string_view expected, std::size_t given) {
    return "expected " + std::string(expected) + ", got " + count(given, "argument");
}

// How the user knows the app at a path: its file name without ".app".
std::string appName(const std::string& path) {
    std::string name = platform::lastPathComponent(path);
    if (name.size() > 4 && name.ends_with(".app")) name.resize(name.size() - 4);
    return name;
}

int moveWindow(Session& session, const std::vector<std::string>& args) {
    if (args.size() != 2) return session.usageError("move", wrongCount("WINDOW FRAME", args.size()));
    const auto id = parseWindowID(args[0]);
    if (!id) return session.usageError("move", id.message());
    const auto frame = parseFrame(args[1]);
    if (!frame) return session.usageError("move", frame.message());

    System& system = session.system();
    system.mac().startTimeline();
    system.inventory().refresh();
    const auto window = system.inventory().window(*id);
    if (!window) return session.fail("no window " + std::to_string(*id) + " among the windows listed");

    const auto outcome = WindowMover::move(system.platform().accessibility, *window, *frame);
    if (const auto* moved = std::get_if<WindowMover::Moved>(&outcome)) {
        session.out() << "moved " << frameText(moved->frame) << "\n";
        return exitSuccess;
    }
    if (const auto* adjusted = std::get_if<WindowMover::Adjusted>(&outcome)) {
        session.out() << "adjusted " << frameText(adjusted->actual) << ": " << printable(adjusted->reason) << "\n";
        return exitSuccess;
    }
    return session.fail(printable(std::get<WindowMover::Failed>(outcome).sentence));
}

int openApp(Session& session, const std::vector<std::string>& args) {
    if (args.size() != 2) return session.usageError("open", wrongCount("APP_PATH FRAME", args.size()));
    if (args[0].empty()) return session.usageError("open", "APP_PATH is empty");
    const auto frame = parseFrame(args[1]);
    if (!frame) return session.usageError("open", frame.message());

    System& system = session.system();
    system.mac().startTimeline();
    system.inventory().refresh();
    auto task = system.loop().spawn(AppLauncher::open(system.platform(), args[0], *frame, system.inventory()));
    system.loop().runUntil([&] { return task.isDone(); });
    if (!task.isDone()) return session.fail("opening " + quote(appName(args[0])) + " did not finish");

    const AppLauncher::Outcome& outcome = *task.result();
    if (const auto* placed = std::get_if<AppLauncher::Placed>(&outcome)) {
        session.out() << "placed window " << placed->window.id << " of " << printable(placed->window.appName) << " at "
                      << frameText(placed->window.frame);
        if (placed->note) session.out() << ": " << printable(*placed->note);
        session.out() << "\n";
        return exitSuccess;
    }
    const std::string& sentence = std::holds_alternative<AppLauncher::NoWindow>(outcome)
                                      ? std::get<AppLauncher::NoWindow>(outcome).sentence
                                      : std::get<AppLauncher::Failed>(outcome).sentence;
    return session.fail(printable(appName(args[0])) + ": " + printable(sentence));
}

} // namespace

std::vector<Command> windowCommands() {
    return {
        {"move", "WINDOW FRAME", "move one window to FRAME ([[x,y],[w,h]]) and print where it went", moveWindow},
        {"open", "APP_PATH FRAME", "open the app at APP_PATH and place its window at FRAME", openApp},
    };
}

} // namespace qw::cli
