// The tile-group operations of LayoutEditor: making groups, and re-sharing space by dividers and seams.
#include "editor/layout_editor.h"

#include "model/snapper.h"
#include "system/inventory.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace qw {

namespace {

// The least room a seam leaves on either side: width for a vertical seam, height for a horizontal one.
constexpr double seamMinimumWidth = 120;
constexpr double seamMinimumHeight = 80;

// The smallest rectangle with whole-point edges that holds `r`.
Rect integral(const Rect& r) {
    const Rect s = r.standardized();
    const double x = std::floor(s.minX());
    const double y = std::floor(s.minY());
    return Rect(x, y, std::ceil(s.maxX()) - x, std::ceil(s.maxY()) - y);
}

} // namespace

void LayoutEditor::tile(const std::vector<WindowID>& ids, const DisplayInfo& display, TileAxis axis) {
    // A window listed twice would hold two places in one group; it keeps its first.
    std::vector<WindowID> members;
    for (const WindowID id : ids)
        if (std::find(members.begin(), members.end(), id) == members.end()) members.push_back(id);
    if (members.size() < 2) return;

    checkpoint();
    for (const WindowID id : members) detach(id);
    TileGroup group{Uuid::random(), display.uuid, axis, members, TileGroup::equalShares(members.size())};
    const auto frames = group.frames(display.visibleFrame);
    modify(tileGroups_, [&](std::vector<TileGroup>& groups) { groups.push_back(std::move(group)); });
    modify(pending_, [&](FrameMap& pending) {
        for (const auto& [id, frame] : frames) pending[id] = frame;
    });
    if (arranging()) modify(placed_, [&](std::set<WindowID>& placed) { placed.insert(members.begin(), members.end()); });
    multiSelection_.set({});
    selected_.set(std::nullopt);
}

std::optional<DisplayInfo> LayoutEditor::tileSelection(const Inventory& inventory, TileAxis axis) {
    struct Candidate {
        WindowID id;
        Rect frame; // on the canvas
    };
    std::vector<Candidate> kept;
    auto records = inventory.windows();
    const auto planned = plannedWindows(inventory.displays());
    records.insert(records.end(), planned.begin(), planned.end());
    for (const auto& record : records) {
        if (!multiSelection().contains(record.id)) continue;
        if (!isPlanned(record.id) && !inventory.isMovable(record)) continue;
        const auto frame = pending().find(record.id);
        kept.push_back({record.id, frame != pending().end() ? frame->second : record.frame});
    }
    if (kept.size() < 2) return std::nullopt;

    // The display that owns most of the windows' canvas frames; the first one met wins a tie.
    const Snapper snapper{inventory.displays(), {}};
    std::vector<std::pair<std::string, std::size_t>> tally;
    for (const auto& candidate : kept) {
        const auto owner = snapper.owner(candidate.frame);
        const std::string uuid = owner ? owner->uuid : std::string();
        auto entry = std::find_if(tally.begin(), tally.end(), [&](const auto& e) { return e.first == uuid; });
        if (entry == tally.end())
            tally.emplace_back(uuid, 1);
        else
            ++entry->second;
    }
    const auto winner = std::max_element(tally.begin(), tally.end(),
                                         [](const auto& a, const auto& b) { return a.second < b.second; });
    const auto& displays = inventory.displays();
    const auto display = std::find_if(displays.begin(), displays.end(),
                                      [&](const DisplayInfo& d) { return d.uuid == winner->first; });
    if (display == displays.end()) return std::nullopt;

    std::stable_sort(kept.begin(), kept.end(), [axis](const Candidate& a, const Candidate& b) {
        return axisStart(a.frame, axis) < axisStart(b.frame, axis);
    });
    std::vector<WindowID> ids;
    for (const auto& candidate : kept) ids.push_back(candidate.id);
    tile(ids, *display, axis);
    return *display;
}

std::optional<TileGroup> LayoutEditor::tileGroup(WindowID containing) const {
    for (const auto& group : tileGroups())
        if (std::find(group.windows.begin(), group.windows.end(), containing) != group.windows.end()) return group;
    return std::nullopt;
}

void LayoutEditor::moveDivider(const Uuid& groupID, std::size_t after, double position,
                               const std::vector<DisplayInfo>& displays) {
    const auto& groups = tileGroups();
    const auto found = std::find_if(groups.begin(), groups.end(), [&](const TileGroup& g) { return g.id == groupID; });
    if (found == groups.end()) return;
    const auto display = std::find_if(displays.begin(), displays.end(),
                                      [&](const DisplayInfo& d) { return d.uuid == found->displayUUID; });
    if (display == displays.end()) return;

    TileGroup group = *found;
    const Rect& area = display->visibleFrame;
    const double extent = axisLength(area, group.axis);
    if (!(extent > 0)) return; // an area without length has no divider to drag
    double before = 0;
    for (std::size_t i = 0; i < after && i < group.fractions.size(); ++i) before += group.fractions[i];
    const double share = (position - axisStart(area, group.axis)) / extent - before;
    if (!group.setShare(after, share)) return;

    const auto frames = group.frames(area);
    const auto index = static_cast<std::size_t>(found - groups.begin());
    modify(tileGroups_, [&](std::vector<TileGroup>& all) { all[index] = group; });
    modify(pending_, [&](FrameMap& pending) {
        for (const auto& [id, frame] : frames) pending[id] = frame;
    });
}

void LayoutEditor::moveSeam(const WindowInfo& first, const WindowInfo& second, bool vertical, double position) {
    const auto frameOf = [&](const WindowInfo& w) {
        const auto entry = pending().find(w.id);
        return (entry != pending().end() ? entry->second : w.frame).standardized();
    };
    const Rect a = frameOf(first);
    const Rect b = frameOf(second);
    const double least = vertical ? seamMinimumWidth : seamMinimumHeight;
    const double lower = (vertical ? a.minX() : a.minY()) + least;
    const double upper = (vertical ? b.maxX() : b.maxY()) - least;
    // Too little room for both minimums: moving the seam would give one side a negative size.
    if (lower > upper || !std::isfinite(position)) return;

    detach(first.id);
    detach(second.id);
    const double seam = std::round(std::min(std::max(position, lower), upper));
    Rect newA, newB;
    if (vertical) {
        newA = Rect(a.minX(), a.minY(), seam - a.minX(), a.height());
        newB = Rect(seam, b.minY(), b.maxX() - seam, b.height());
    } else {
        newA = Rect(a.minX(), a.minY(), a.width(), seam - a.minY());
        newB = Rect(b.minX(), seam, b.width(), b.maxY() - seam);
    }
    modify(pending_, [&](FrameMap& pending) {
        pending[first.id] = integral(newA);
        pending[second.id] = integral(newB);
    });
    if (arranging()) modify(placed_, [&](std::set<WindowID>& placed) { placed.insert({first.id, second.id}); });
}

} // namespace qw
