#include "platform/sim/sim_timeline.h"

#include <algorithm>

namespace qw::sim {

TimelinePlayer::TimelinePlayer(SimState& state) : state_(state) {
    for (TimelineEvent& e : state_.world.timeline)
        pending_.push_back(Pending{nextId_++, fromSeconds(e.at), std::move(e.event), std::nullopt});
    state_.world.timeline.clear();
}

TimelinePlayer::~TimelinePlayer() {
    for (const Pending& p : pending_)
        if (p.timer) state_.loop.cancel(*p.timer);
}

void TimelinePlayer::start() {
    if (started_) return;
    started_ = true;
    // Scheduled in the order given, so that events at one time run in that order.
    for (Pending& p : pending_) schedule(p);
}

void TimelinePlayer::add(TimelineEvent event) {
    pending_.push_back(Pending{nextId_++, state_.elapsed() + fromSeconds(event.at), std::move(event.event), std::nullopt});
    if (started_) schedule(pending_.back());
}

void TimelinePlayer::schedule(Pending& pending) {
    const std::uint64_t id = pending.id;
    pending.timer = state_.loop.at(state_.loopStart + pending.due, [this, id] { fire(id); });
}

void TimelinePlayer::fire(std::uint64_t id) {
    const auto it = std::find_if(pending_.begin(), pending_.end(), [&](const Pending& p) { return p.id == id; });
    if (it == pending_.end()) return;
    const Event event = std::move(it->event);
    pending_.erase(it);

    // An event that no longer fits (the product closed the window it names, say) does nothing, as
    // on the real system.
    auto effects = applyEvent(state_.world, event, state_.wallNow());
    state_.windowIndex.invalidate();
    if (!effects) return;
    for (TimelineEvent& next : effects->followUps) add(std::move(next));
    for (const Posting& posting : effects->postings) state_.post(posting);
}

void TimelinePlayer::syncWorld() {
    const auto whole = std::chrono::floor<std::chrono::seconds>(state_.elapsed());
    state_.world.now = state_.start + whole;
    std::vector<const Pending*> order;
    for (const Pending& p : pending_) order.push_back(&p);
    std::stable_sort(order.begin(), order.end(), [](const Pending* a, const Pending* b) { return a->due < b->due; });
    state_.world.timeline.clear();
    for (const Pending* p : order)
        state_.world.timeline.push_back(TimelineEvent{std::max(0.0, toSeconds(p->due - whole)), p->event});
}

} // namespace qw::sim
