#include "soak/invariants.h"

#include "store/layout_store.h"
#include "store/layouts_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>

namespace qw::soak {

namespace {

std::string names(const std::vector<WindowID>& ids) {
    std::string text;
    for (const WindowID id : ids) text += (text.empty() ? "" : ", ") + std::to_string(id);
    return "[" + text + "]";
}

} // namespace

Finding checkLayoutsFile(const LayoutStore& store) {
    // The store's own record of a failed write: the file lags behind by design, and the user is told.
    if (store.hasUnsavedChanges()) {
        if (!store.problem()) return "the store has unsaved changes but states no problem";
        return std::nullopt;
    }
    std::ifstream in(store.fileURL(), std::ios::binary);
    if (!in) return "the layouts file " + store.fileURL().string() + " cannot be opened";
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto decoded = LayoutsFile::decode(bytes);
    if (!decoded) return "the layouts file does not load: " + decoded.message();
    if (*decoded != store.layouts())
        return "the layouts file holds " + std::to_string(decoded->size()) + " layouts that differ from the store's " +
               std::to_string(store.layouts().size());
    return std::nullopt;
}

Finding checkBusyFlags(const BusyState& s) {
    if (s.idle) {
        std::vector<std::string> set;
        if (s.spaceMoverBusy) set.push_back("SpaceMover's busy flag");
        if (s.desktopManagerBusy) set.push_back("DesktopManager's busy flag");
        if (s.finishingApply) set.push_back("the editor's finishing-apply count");
        if (s.fullRestoreScheduled) set.push_back("a scheduled full automatic restore");
        if (s.appRestoresScheduled > 0) set.push_back(std::to_string(s.appRestoresScheduled) + " scheduled app restores");
        if (s.actionsRunning) set.push_back("a window action that never finished");
        if (set.empty()) return std::nullopt;
        std::string text;
        for (const auto& part : set) text += (text.empty() ? "" : ", ") + part;
        return "with the loop idle, still set: " + text;
    }
    if (s.spaceMoverBusy && !s.finishingApply && !s.actionsRunning)
        return "SpaceMover's busy flag is set while no apply is finishing and no window action runs";
    if (s.desktopManagerBusy && !s.actionsRunning)
        return "DesktopManager's busy flag is set while no window action runs";
    return std::nullopt;
}

Finding checkHistory(const EditHistory& history) {
    if (history.size() > EditHistory::limit)
        return "the edit history holds " + std::to_string(history.size()) + " entries, more than " +
               std::to_string(EditHistory::limit);
    return std::nullopt;
}

Finding checkTileGroups(const std::vector<TileGroup>& groups) {
    std::set<WindowID> seen;
    for (const TileGroup& g : groups) {
        const std::string which = "tile group " + names(g.windows);
        if (g.windows.size() < 2) return which + " has fewer than two windows";
        if (g.fractions.size() != g.windows.size())
            return which + " has " + std::to_string(g.fractions.size()) + " shares for " +
                   std::to_string(g.windows.size()) + " windows";
        double sum = 0;
        for (const double f : g.fractions) {
            if (!std::isfinite(f) || f <= 0) return which + " has a share of " + std::to_string(f);
            sum += f;
        }
        if (std::fabs(sum - 1) > 1e-9) return which + "'s shares add up to " + std::to_string(sum);
        for (const WindowID id : g.windows)
            if (!seen.insert(id).second) return "window " + std::to_string(id) + " is in two tile groups, or twice in one";
    }
    return std::nullopt;
}

MoveLedger::MoveLedger(const sim::World& world) : world_(world) {
    for (const sim::Window& w : world_.windows) last_[w.id] = WindowState{w.frame, w.spaces};
}

void MoveLedger::beginTurn() {
    sample();
    ++turn_;
}

void MoveLedger::sample() {
    std::map<WindowID, WindowState> now;
    for (const sim::Window& w : world_.windows) {
        WindowState state{w.frame, w.spaces};
        const auto before = last_.find(w.id);
        if (before == last_.end() || before->second != state) changedAt_[w.id] = turn_;
        now.emplace(w.id, std::move(state));
    }
    last_ = std::move(now);
}

std::size_t MoveLedger::changedSince(std::uint64_t since) const {
    return static_cast<std::size_t>(
        std::count_if(changedAt_.begin(), changedAt_.end(), [&](const auto& entry) { return entry.second >= since; }));
}

std::vector<WindowID> MoveLedger::windowsChangedSince(std::uint64_t since) const {
    std::vector<WindowID> ids;
    for (const auto& [id, turn] : changedAt_)
        if (turn >= since) ids.push_back(id);
    return ids;
}

Finding checkReportMoves(const Report& report, std::size_t changed) {
    if (report.moved < 0) return "the report “" + report.summary() + "” counts " + std::to_string(report.moved) + " moves";
    if (static_cast<std::size_t>(report.moved) <= changed) return std::nullopt;
    std::string notes;
    for (const std::string& note : report.notes) notes += (notes.empty() ? " (notes: " : "; ") + note;
    if (!notes.empty()) notes += ")";
    return "the report “" + report.summary() + "”" + notes + " claims " + std::to_string(report.moved) +
           " windows moved, but only " + std::to_string(changed) + " changed on the Mac meanwhile";
}

} // namespace qw::soak
