#include "restore/restorer.h"

#include "model/display_matcher.h"
#include "model/snapper.h"
#include "system/inventory.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace qw::Restorer {

namespace {

// Scores of a candidate pairing.
constexpr double sameTitleScore = 1000;
constexpr double similarTitleScore = 400;
constexpr double savedDesktopScore = 200;
constexpr double showingScore = 50;
constexpr double distanceDivisor = 50;
constexpr double sizeDivisor = 100;
// How close a window must be to its target to need no move.
constexpr double inPlaceEdgeTolerance = 2;
constexpr double inPlaceSizeTolerance = 10;

// A saved window that has a connected display, with where it should go there.
struct Placeable {
    const SavedWindow* saved;
    std::size_t position; // in the layout's windows
    Rect target;
    const DisplayInfo* dest;
    std::optional<SpaceInfo> desktop; // its saved desktop on dest
};

// What scoring needs to know of an open window, worked out once.
struct OpenWindow {
    const WindowInfo* window;
    const DisplayInfo* holder; // the display with the largest share of it
    bool showing;              // on the ordinary desktop its display shows
};

struct Candidate {
    double score;
    std::size_t placeable;
    std::size_t window;
};

double titleScore(const std::string& saved, const std::string& open) {
    if (!saved.empty() && saved == open) return sameTitleScore;
    if (!saved.empty() && !open.empty() &&
        (saved.find(open) != std::string::npos || open.find(saved) != std::string::npos))
        return similarTitleScore;
    return 0;
}

bool contains(const std::vector<SpaceID>& spaces, SpaceID id) {
    return std::find(spaces.begin(), spaces.end(), id) != spaces.end();
}

double score(const Placeable& p, const OpenWindow& open) {
    const WindowInfo& w = *open.window;
    double total = titleScore(p.saved->title, w.title);
    if (open.holder && open.holder->id == p.dest->id && w.spaceIDs.size() == 1 && p.desktop &&
        p.desktop->id == w.spaceIDs.front())
        total += savedDesktopScore;
    if (open.showing) total += showingScore;
    total -= std::hypot(w.frame.minX() - p.target.minX(), w.frame.minY() - p.target.minY()) / distanceDivisor;
    total -= (std::abs(w.frame.width() - p.target.width()) + std::abs(w.frame.height() - p.target.height())) / sizeDivisor;
    return total;
}

bool isInPlace(const Rect& frame, const Rect& target) {
    return std::abs(frame.minX() - target.minX()) <= inPlaceEdgeTolerance &&
           std::abs(frame.minY() - target.minY()) <= inPlaceEdgeTolerance &&
           std::abs(frame.width() - target.width()) <= inPlaceSizeTolerance &&
           std::abs(frame.height() - target.height()) <= inPlaceSizeTolerance;
}

// The holding display among `displays` (the Inventory's), by pointer.
const DisplayInfo* holderOf(const Inventory& inventory, const WindowInfo& window) {
    const auto display = inventory.displayContaining(window);
    if (!display) return nullptr;
    for (const auto& d : inventory.displays())
        if (d.id == display->id) return &d;
    return nullptr;
}

} // namespace

RestorePlan plan(const SavedLayout& layout, const Inventory& inventory, bool desktops, const Apps& apps) {
    RestorePlan plan;
    const auto& displays = inventory.displays();
    const auto& windows = inventory.windows();

    // Step 1: pair saved displays with connected ones.
    const auto partners = DisplayMatcher::map(layout.displays, displays);
    std::unordered_map<std::string, const SavedDisplay*> savedByUUID;
    for (const auto& display : layout.displays) savedByUUID.emplace(display.uuid, &display); // the first counts
    const auto connected = [&](const DisplayInfo& partner) -> const DisplayInfo* {
        for (const auto& d : displays)
            if (d.id == partner.id && d.uuid == partner.uuid) return &d;
        return nullptr;
    };

    // Step 2: targets.
    const Snapper snapper{displays, {}};
    std::vector<Placeable> placeables;
    std::map<std::string, int> unconnected; // by display name, sorted for the notes
    for (std::size_t position = 0; position < layout.windows.size(); ++position) {
        const SavedWindow& saved = layout.windows[position];
        const auto savedDisplay = savedByUUID.find(saved.display);
        if (savedDisplay == savedByUUID.end()) {
            ++unconnected["a display"];
            continue;
        }
        const auto partner = partners.find(saved.display);
        const DisplayInfo* dest = partner != partners.end() ? connected(partner->second) : nullptr;
        const auto translated = dest ? translate(saved.frame, *savedDisplay->second, *dest) : std::nullopt;
        if (!translated) {
            ++unconnected[savedDisplay->second->name];
            continue;
        }
        placeables.push_back({&saved, position, snapper.keepReachable(*translated), dest, savedDesktop(saved, *dest)});
    }

    // Step 3: candidates, grouped by app key in front-to-back order.
    std::vector<OpenWindow> open;
    open.reserve(windows.size());
    std::unordered_map<std::string, std::vector<std::size_t>> byApp;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const auto& window = windows[i];
        const auto* holder = holderOf(inventory, window);
        const auto current = holder ? holder->currentSpace() : std::nullopt;
        const bool showing = current && !current->isFullscreen && contains(window.spaceIDs, current->id);
        open.push_back({&window, holder, showing});
        byApp[window.appKey()].push_back(i);
    }
    const auto launchedKey = [&](const SavedWindow& saved) -> std::optional<std::string> {
        if (!saved.appPath || !apps.launchedAppKey) return std::nullopt;
        return apps.launchedAppKey(*saved.appPath);
    };
    std::vector<Candidate> candidates;
    for (std::size_t p = 0; p < placeables.size(); ++p) {
        const auto& saved = *placeables[p].saved;
        const auto launched = launchedKey(saved);
        const auto group = byApp.find(launched ? *launched : saved.appKey());
        if (group == byApp.end()) continue;
        for (const std::size_t w : group->second) candidates.push_back({score(placeables[p], open[w]), p, w});
    }

    // Step 4: greedy assignment, best first; equal scores keep their order of creation.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
    std::vector<bool> placeableTaken(placeables.size(), false);
    std::vector<bool> windowTaken(windows.size(), false);
    std::vector<std::string> leftAlone;
    std::vector<std::string> placedOnShowing;
    for (const auto& candidate : candidates) {
        if (placeableTaken[candidate.placeable] || windowTaken[candidate.window]) continue;
        placeableTaken[candidate.placeable] = true;
        windowTaken[candidate.window] = true;
        const Placeable& p = placeables[candidate.placeable];
        const WindowInfo& w = *open[candidate.window].window;

        const bool inPlace = isInPlace(w.frame, p.target);
        const bool savedDesktopHidden = p.desktop && p.desktop->id != p.dest->currentSpaceID;
        const bool desktopMove = desktops && p.saved->keepsDesktop.value_or(false) && savedDesktopHidden;

        if (inventory.isReachable(w)) {
            plan.matched.insert(w.id);
            plan.represented.insert(p.position);
            if (desktopMove) {
                plan.desktops[w.id] = p.desktop->id;
                plan.moves[w.id] = inPlace ? w.frame : p.target;
            } else {
                if (inPlace)
                    ++plan.inPlace;
                else
                    plan.moves[w.id] = p.target;
                if (savedDesktopHidden) placedOnShowing.push_back(w.appName);
            }
        } else if (desktops && inventory.isMovable(w)) {
            plan.matched.insert(w.id);
            plan.represented.insert(p.position);
            // Already on its saved desktop, which is not showing: nothing to carry.
            const bool onSavedDesktop = desktopMove && w.spaceIDs.size() == 1 && w.spaceIDs.front() == p.desktop->id;
            if (desktopMove && !onSavedDesktop) {
                plan.desktops[w.id] = p.desktop->id;
                plan.moves[w.id] = p.target;
            } else if (onSavedDesktop && inPlace) {
                ++plan.inPlace;
            } else {
                plan.moves[w.id] = p.target;
            }
        } else {
            leftAlone.push_back(w.appName);
        }
    }

    // Step 5: launches.
    std::unordered_set<std::string> running;
    for (const auto& window : windows) running.insert(window.appKey());
    std::unordered_set<std::string> launched;
    for (std::size_t i = 0; i < placeables.size(); ++i) {
        if (placeableTaken[i]) continue;
        const Placeable& p = placeables[i];
        const SavedWindow& saved = *p.saved;
        const std::string& key = saved.appKey();
        if (!launchedKey(saved) && running.contains(key)) continue;
        if (launched.contains(key)) continue;
        if (!saved.appPath || !apps.exists || !apps.exists(*saved.appPath)) continue;
        RestorePlan::Launch launch{*saved.appPath, saved.appName, saved.bundleID, p.target, std::nullopt};
        if (desktops && saved.keepsDesktop.value_or(false) && p.desktop && p.desktop->id != p.dest->currentSpaceID)
            launch.desktop = p.desktop->id;
        plan.launches.push_back(std::move(launch));
        plan.represented.insert(p.position);
        launched.insert(key);
    }

    // Step 6: what stays missing.
    std::vector<std::string> notRunning;
    std::vector<std::string> noLongerOpen;
    for (std::size_t i = 0; i < placeables.size(); ++i) {
        if (placeableTaken[i]) continue;
        const SavedWindow& saved = *placeables[i].saved;
        const std::string& key = saved.appKey();
        if (launched.contains(key)) continue;
        (running.contains(key) ? noLongerOpen : notRunning).push_back(saved.appName);
    }

    if (!leftAlone.empty())
        plan.notes.push_back(count(leftAlone) + " on another desktop or full screen, left where " +
                             (leftAlone.size() == 1 ? "it is" : "they are") + " (" + names(leftAlone, true) + ")");
    if (!placedOnShowing.empty())
        plan.notes.push_back(count(placedOnShowing) + " saved on a different desktop, placed on the one showing (" +
                             names(placedOnShowing, true) + ")");
    if (!notRunning.empty()) plan.notes.push_back("Not running: " + names(notRunning, false));
    if (!noLongerOpen.empty())
        plan.notes.push_back(count(noLongerOpen) + " no longer open (" + names(noLongerOpen, true) + ")");
    for (const auto& [name, tally] : unconnected)
        plan.notes.push_back((tally == 1 ? std::string("1 window was") : std::to_string(tally) + " windows were") +
                             " on " + name + ", which isn't connected");
    return plan;
}

} // namespace qw::Restorer
