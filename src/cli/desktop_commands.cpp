#include "cli/desktop_commands.h"

#include "cli/run.h"
#include "cli/session.h"
#include "cli/text.h"
#include "cli/window_arguments.h"
#include "desktops/desktop_manager.h"
#include "desktops/space_mover.h"
#include "platform/main_loop.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <string>

namespace qw::cli {

namespace {

std::string wrongCount(std::string_view expected, std::size_t given) {
    return "expected " + std::string(expected) + ", got " + count(given, "argument");
}

// A whole decimal number in [min, max], nothing else.
template <typename T>
std::optional<T> parseNumber(std::string_view text, T min, T max) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < min || value > max) return std::nullopt;
    return value;
}

// Runs a task of the desktop operations on the run's loop, with the world's timeline playing.
template <typename T>
std::optional<T> runToEnd(System& system, Task<T> task) {
    auto handle = system.loop().spawn(std::move(task));
    system.loop().runUntil([&] { return handle.isDone(); });
    if (!handle.isDone()) return std::nullopt;
    return *handle.result();
}

std::optional<DisplayInfo> displayWithUUID(Inventory& inventory, std::string_view uuid) {
    for (const DisplayInfo& d : inventory.displays())
        if (d.uuid == uuid) return d;
    return std::nullopt;
}

int sendWindow(Session& session, const std::vector<std::string>& args) {
    if (args.size() != 2) return session.usageError("send", wrongCount("WINDOW INDEX", args.size()));
    const auto id = parseWindowID(args[0]);
    if (!id) return session.usageError("send", id.message());
    const auto index = parseNumber<int>(args[1], 1, std::numeric_limits<int>::max());
    if (!index) return session.usageError("send", "INDEX must be a desktop's position on its display, 1 or more, not " +
                                                      quote(args[1]));

    System& system = session.system();
    system.mac().startTimeline();
    system.inventory().refresh();
    const auto window = system.inventory().window(*id);
    if (!window) return session.fail("no window " + std::to_string(*id) + " among the windows listed");

    const auto outcome = runToEnd(system, SpaceMover::move(system.platform(), system.skyLight(), *window, *index,
                                                           system.inventory()));
    if (!outcome) return session.fail("sending window " + std::to_string(*id) + " did not finish");
    if (const auto* moved = std::get_if<SpaceMover::Moved>(&*outcome)) {
        session.out() << "moved to desktop " << moved->index << "\n";
        return exitSuccess;
    }
    return session.fail(printable(std::get<SpaceMover::Failed>(*outcome).sentence));
}

int desktops(Session& session, const std::vector<std::string>& args) {
    const bool adding = !args.empty() && args[0] == "add";
    const bool removing = !args.empty() && args[0] == "remove";
    if (!adding && !removing)
        return session.usageError("desktops", args.empty() ? "expected add or remove"
                                                            : "expected add or remove, not " + quote(args[0]));
    if (adding && args.size() != 2)
        return session.usageError("desktops", wrongCount("add DISPLAY_UUID", args.size() - 1));
    if (removing && args.size() != 3)
        return session.usageError("desktops", wrongCount("remove DISPLAY_UUID SPACE_ID", args.size() - 1));
    std::optional<SpaceID> spaceID;
    if (removing) {
        spaceID = parseNumber<SpaceID>(args[2], 0, std::numeric_limits<SpaceID>::max());
        if (!spaceID) return session.usageError("desktops", "SPACE_ID must be a desktop's id, not " + quote(args[2]));
    }

    System& system = session.system();
    system.mac().startTimeline();
    system.inventory().refresh();
    const std::optional<DisplayInfo> display = displayWithUUID(system.inventory(), args[1]);
    if (!display) return session.fail("no display with UUID " + quote(args[1]) + " is connected");

    std::optional<DesktopManager::Outcome> outcome;
    if (adding) {
        outcome = runToEnd(system, DesktopManager::addDesktop(system.platform(), *display, system.inventory()));
    } else {
        const auto space = std::find_if(display->spaces.begin(), display->spaces.end(),
                                        [&](const SpaceInfo& s) { return s.id == *spaceID; });
        if (space == display->spaces.end())
            return session.fail("no desktop " + std::to_string(*spaceID) + " on " + printable(display->name));
        outcome = runToEnd(system, DesktopManager::removeDesktop(system.platform(), space->id, space->name, *display,
                                                                 system.inventory()));
    }
    if (!outcome) return session.fail("Mission Control did not finish");
    if (const auto* added = std::get_if<DesktopManager::Added>(&*outcome)) {
        session.out() << "added " << printable(added->space.name) << " (id " << added->space.id << ", index "
                      << added->space.index << ") on " << printable(display->name) << "\n";
        return exitSuccess;
    }
    if (std::holds_alternative<DesktopManager::Removed>(*outcome)) {
        session.out() << "removed desktop " << *spaceID << " from " << printable(display->name) << "\n";
        return exitSuccess;
    }
    return session.fail(printable(std::get<DesktopManager::Failed>(*outcome).sentence));
}

} // namespace

std::vector<Command> desktopCommands() {
    return {
        {"send", "WINDOW INDEX", "carry a window to the desktop at INDEX on its display", sendWindow},
        {"desktops", "add DISPLAY_UUID | remove DISPLAY_UUID SPACE_ID",
         "add a desktop to a display, or remove one, through Mission Control", desktops},
    };
}

} // namespace qw::cli
