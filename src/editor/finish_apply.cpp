// Apply, the part that takes time: sending windows to their desktops, bringing windows over from
// other desktops and opening the planned apps, one step after another on the main loop. Every step
// reads the Inventory afresh rather than trusting what apply saw.
#include "editor/layout_editor.h"

#include "desktops/space_mover.h"
#include "editor/texts.h"
#include "platform/main_loop.h"
#include "restore/app_launcher.h"
#include "restore/window_mover.h"
#include "system/inventory.h"
#include "system/skylight.h"

#include <algorithm>
#include <chrono>
#include <set>
#include <variant>

namespace qw {

namespace {

using namespace std::chrono_literals;

namespace Timing {
constexpr Duration afterShowingOpeningDesktop = 400ms;
constexpr Duration afterFetchSwitch = 300ms;
constexpr Duration afterFetchMove = 300ms;
// A freshly opened window is not ready to be carried at once; the second try waits longer.
constexpr Duration beforeFirstSend = 800ms;
constexpr Duration beforeSecondSend = 1500ms;
} // namespace Timing

std::optional<DisplayInfo> displayWithID(const Inventory& inventory, DisplayID id) {
    for (const auto& display : inventory.displays())
        if (display.id == id) return display;
    return std::nullopt;
}

const SpaceInfo* spaceWithID(const DisplayInfo& display, SpaceID id) {
    for (const auto& space : display.spaces)
        if (space.id == id) return &space;
    return nullptr;
}

std::string label(const SpaceInfo& space) { return space.nickname.value_or(space.name); }

const std::string* failure(const SpaceMover::Outcome& outcome) {
    if (const auto* failed = std::get_if<SpaceMover::Failed>(&outcome)) return &failed->sentence;
    return nullptr;
}

// Where a fetched window is now, so that fetches go desktop by desktop: (display id, desktop index)
// of the first desktop of its display it is on; (0, 0) when that cannot be told.
std::pair<DisplayID, int> whereNow(const Inventory& inventory, const Fetch& fetch) {
    const auto window = inventory.window(fetch.id);
    if (!window) return {0, 0};
    const auto display = inventory.displayContaining(*window);
    if (!display) return {0, 0};
    for (const auto& space : display->spaces)
        if (std::find(window->spaceIDs.begin(), window->spaceIDs.end(), space.id) != window->spaceIDs.end())
            return {display->id, space.index};
    return {0, 0};
}

// Brings one window from another desktop to its frame and desktop; none when done, else a note.
Task<std::optional<std::string>> fetch(EditorSystem system, Fetch f) {
    Inventory& inventory = system.inventory;
    inventory.refresh();
    auto window = inventory.window(f.id);
    if (!window) co_return f.appName + " closed before it could be moved";

    const std::string unknown = f.appName + ": couldn't tell which desktop it's on";
    const auto display = inventory.displayContaining(*window);
    if (!display || window->spaceIDs.size() != 1) co_return unknown;
    const SpaceInfo* found = spaceWithID(*display, window->spaceIDs.front());
    if (!found || found->isFullscreen) co_return unknown;
    const SpaceInfo space = *found;

    if (space.id != display->currentSpaceID) {
        co_await SpaceMover::show(system.platform, system.skyLight, space.index, *display);
        co_await system.platform.loop.sleep(Timing::afterFetchSwitch);
    }

    inventory.refresh();
    window = inventory.window(f.id);
    if (!window) co_return f.appName + " closed before it could be moved";
    if (!inventory.isReachable(*window))
        co_return f.appName + " stayed on " + label(space) + ": Quiltwright couldn't switch " + display->name + " there";

    const auto moved = WindowMover::move(system.platform.accessibility, *window, f.frame);
    if (const auto* failed = std::get_if<WindowMover::Failed>(&moved)) co_return f.appName + ": " + failed->sentence;
    co_await system.platform.loop.sleep(Timing::afterFetchMove);

    inventory.refresh();
    window = inventory.window(f.id);
    const auto target = displayWithID(inventory, f.display);
    if (!window || !target || target->currentSpaceID == f.target) co_return std::nullopt;
    const SpaceInfo* goal = spaceWithID(*target, f.target);
    if (!goal) co_return std::nullopt;
    const SpaceInfo goalSpace = *goal;
    const auto outcome = co_await SpaceMover::move(system.platform, system.skyLight, *window, goalSpace.index, inventory);
    if (const auto* reason = failure(outcome)) {
        const auto current = target->currentSpace();
        co_return f.appName + " is in place on " + (current ? label(*current) : std::string("another desktop")) + ", not " +
            label(goalSpace) + ": " + *reason;
    }
    co_return std::nullopt;
}

// Carries a window to its desktop: once, or for a freshly opened window twice after waits that give
// it time to settle. The last outcome.
Task<SpaceMover::Outcome> send(EditorSystem system, WindowInfo window, DesktopSend target, bool justOpened) {
    const int attempts = justOpened ? 2 : 1;
    SpaceMover::Outcome outcome = SpaceMover::Failed{""};
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (justOpened)
            co_await system.platform.loop.sleep(attempt == 0 ? Timing::beforeFirstSend : Timing::beforeSecondSend);
        system.inventory.refresh();
        const WindowInfo record = system.inventory.window(window.id).value_or(window);
        outcome = co_await SpaceMover::move(system.platform, system.skyLight, record, target.index, system.inventory);
        if (!failure(outcome)) break;
    }
    co_return outcome;
}

} // namespace

void LayoutEditor::finishApply(ApplyWork work, EditorSystem& system, Report after) {
    std::string movedPhrase = after.moved == 1 ? std::string("Moved 1 window") : "Moved " + std::to_string(after.moved) + " windows";
    std::string progress;
    if (!work.opening.empty()) {
        std::vector<std::string> names;
        for (const auto& opening : work.opening) names.push_back(opening.app.name);
        progress = "opening " + texts::joined(names) + "…";
    } else if (!work.fetching.empty()) {
        progress = "bringing windows from other desktops…";
    } else {
        progress = "sending windows to their desktops…";
    }
    const std::string headline = after.moved < 1 ? texts::capitalized(progress) : movedPhrase + "; " + progress;
    report_.set(Report{0, after.notes, headline, std::nullopt, false});

    ++finishingApplies_;
    (void)system.platform.loop.spawn(finishing(std::move(work), system, std::move(after), std::move(movedPhrase)));
}

Task<void> LayoutEditor::finishing(ApplyWork work, EditorSystem system, Report after, std::string movedPhrase) {
    Inventory& inventory = system.inventory;
    const platform::Platform platform = system.platform;
    std::vector<std::string> notes = after.notes;
    std::vector<std::string> sent;
    std::vector<std::string> brought;
    std::vector<std::string> opened;
    // The windows the openings placed. Two openings can end on one window (an app that showed
    // none of its own takes the window of an app launched meanwhile, as it would a launcher's),
    // and a window counts once among the moved.
    std::set<WindowID> openedWindows;

    // Windows already on the desktop their display shows, carried to another one.
    for (const auto& [id, target] : work.sending) {
        inventory.refresh();
        if (!inventory.window(id)) continue;
        inventory.refresh();
        const auto window = inventory.window(id);
        if (!window) continue;
        const auto outcome = co_await SpaceMover::move(platform, system.skyLight, *window, target.index, inventory);
        if (const auto* reason = failure(outcome))
            notes.push_back(window->appName + " stayed on this desktop: " + *reason);
        else
            sent.push_back(window->appName + " to " + target.name);
    }

    // Windows on other desktops, brought over desktop by desktop; each display then shows again
    // the desktop the user was looking at.
    if (!work.fetching.empty()) {
        inventory.refresh();
        std::map<DisplayID, int> showing;
        for (const auto& display : inventory.displays())
            if (const auto current = display.currentSpace()) showing[display.id] = current->index;

        std::vector<std::pair<std::pair<DisplayID, int>, Fetch>> ordered;
        for (const auto& f : work.fetching) ordered.emplace_back(whereNow(inventory, f), f);
        std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [where, f] : ordered) {
            const auto note = co_await fetch(system, f);
            if (note)
                notes.push_back(*note);
            else
                brought.push_back(f.appName);
        }

        inventory.refresh();
        for (const auto& [displayID, index] : showing) {
            const auto display = displayWithID(inventory, displayID);
            if (!display) continue;
            const auto current = display->currentSpace();
            if (!current || current->index != index) co_await SpaceMover::show(platform, system.skyLight, index, *display);
        }
        inventory.refresh();
    }

    // The planned apps, each opened on the desktop it is meant for.
    std::vector<std::pair<WindowInfo, DesktopSend>> toSend;
    if (!work.opening.empty()) {
        const auto sendIndex = [&](WindowID id) {
            const auto entry = work.sends.find(id);
            return entry == work.sends.end() ? -1 : entry->second.index;
        };
        std::stable_sort(work.opening.begin(), work.opening.end(), [&](const Opening& a, const Opening& b) {
            return std::pair(sendIndex(a.id), a.id) < std::pair(sendIndex(b.id), b.id);
        });
        std::set<DisplayID> met;
        std::map<DisplayID, int> showing;
        for (const auto& opening : work.opening) {
            const auto entry = work.sends.find(opening.id);
            const std::optional<DesktopSend> target =
                entry == work.sends.end() ? std::nullopt : std::optional<DesktopSend>(entry->second);
            if (target) {
                if (const auto display = displayWithID(inventory, target->display)) {
                    if (met.insert(display->id).second)
                        if (const auto current = display->currentSpace()) showing[display->id] = current->index;
                    co_await SpaceMover::show(platform, system.skyLight, target->index, *display);
                    co_await platform.loop.sleep(Timing::afterShowingOpeningDesktop);
                    inventory.refresh();
                }
            }
            const auto outcome = co_await AppLauncher::open(platform, opening.app.url, opening.frame, inventory);
            if (const auto* placed = std::get_if<AppLauncher::Placed>(&outcome)) {
                opened.push_back(opening.app.name);
                openedWindows.insert(placed->window.id);
                if (placed->note) notes.push_back(*placed->note);
                if (target) {
                    const auto spaces = system.skyLight.spacesForWindow(placed->window.id);
                    if (std::find(spaces.begin(), spaces.end(), target->space) != spaces.end())
                        sent.push_back(opening.app.name + " to " + target->name);
                    else
                        toSend.emplace_back(placed->window, *target);
                }
            } else if (const auto* noWindow = std::get_if<AppLauncher::NoWindow>(&outcome)) {
                notes.push_back(opening.app.name + ": " + noWindow->sentence);
            } else {
                notes.push_back(opening.app.name + ": " + std::get<AppLauncher::Failed>(outcome).sentence);
            }
        }
        inventory.refresh();
        for (const auto& [displayID, index] : showing)
            if (const auto display = displayWithID(inventory, displayID))
                co_await SpaceMover::show(platform, system.skyLight, index, *display);
    }

    // Freshly opened windows that did not land on their desktop.
    for (const auto& [window, target] : toSend) {
        const auto outcome = co_await send(system, window, target, true);
        if (const auto* reason = failure(outcome))
            notes.push_back(window.appName + " stayed on this desktop: " + *reason);
        else
            sent.push_back(window.appName + " to " + target.name);
    }

    std::vector<std::string> parts;
    if (after.moved >= 1) parts.push_back(movedPhrase);
    const auto part = [&](std::string verb, const std::vector<std::string>& names, const std::string& tail) {
        if (names.empty()) return;
        if (!parts.empty()) verb.front() = static_cast<char>(verb.front() - 'A' + 'a');
        parts.push_back(verb + texts::joined(names) + tail);
    };
    part("Opened ", opened, "");
    part("Brought ", brought, " from other desktops");
    part("Sent ", sent, "");
    const int moved = after.moved + static_cast<int>(openedWindows.size() + brought.size());
    report_.set(Report{moved, std::move(notes), parts.empty() ? std::string("Nothing opened") : texts::joined(parts, " and "),
                       std::nullopt, parts.empty()});
    inventory.refresh();
    --finishingApplies_;
}

} // namespace qw
