// Timeline events as a whole: dispatching one to its change, naming it, and playing a world's
// timeline through once to see that every event fits.

#include "platform/clock.h"
#include "platform/sim/world_changes.h"
#include "platform/sim/world_checks.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace qw::sim {

namespace {

std::string formatSeconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}

} // namespace

Change applyEvent(World& world, const Event& event, Timestamp now) {
    return std::visit(
        [&](const auto& e) -> Change {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, events::ConnectDisplay>) return connectDisplay(world, e.display);
            else if constexpr (std::is_same_v<E, events::DisconnectDisplay>) return disconnectDisplay(world, e.id);
            else if constexpr (std::is_same_v<E, events::MoveDisplay>) return moveDisplay(world, e.id, e.frame);
            else if constexpr (std::is_same_v<E, events::Sleep>) return sleep(world);
            else if constexpr (std::is_same_v<E, events::Wake>) return wake(world);
            else if constexpr (std::is_same_v<E, events::LaunchApp>) return launchApp(world, e.path, now);
            else if constexpr (std::is_same_v<E, events::FinishLaunch>) return finishLaunch(world, e.pid, now);
            else if constexpr (std::is_same_v<E, events::QuitApp>) return quitApp(world, e.pid);
            else if constexpr (std::is_same_v<E, events::MoveWindow>) return moveWindow(world, e.id, e.frame);
            else if constexpr (std::is_same_v<E, events::CloseWindow>) return closeWindow(world, e.id);
            else return showDesktop(world, e.display, e.space);
        },
        event);
}

std::string eventName(const Event& event) {
    static constexpr const char* names[] = {"connectDisplay", "disconnectDisplay", "moveDisplay", "sleep",
                                            "wake",           "launchApp",         "finishLaunch", "quitApp",
                                            "moveWindow",     "closeWindow",       "showDesktop"};
    static_assert(std::size(names) == std::variant_size_v<Event>);
    return names[event.index()];
}

namespace {

// Plays the timeline on a copy of the world, without the product, as the main loop would: by
// time, then in the order scheduled, the world's own events first and what they set off after.
// `unfit(index, failure)` hears of each of the world's own events that does not fit the world at
// its time and says whether to play on; such an event changes nothing, as on the running system.
template <typename Unfit>
void playTimeline(const World& world, Unfit unfit) {
    struct Due {
        Duration at;
        std::uint64_t sequence;
        auto operator<=>(const Due&) const = default;
    };
    struct Pending {
        Event event;
        std::size_t source; // the world's event it is or came from
        bool followUp;
    };
    std::map<Due, Pending> queue;
    std::uint64_t sequence = 0;
    for (std::size_t i = 0; i < world.timeline.size(); ++i)
        queue.emplace(Due{fromSeconds(world.timeline[i].at), sequence++}, Pending{world.timeline[i].event, i, false});

    World played = world;
    played.timeline.clear();
    // Launches set off more events; a world cannot grow without end, so the play does not either.
    std::size_t budget = 100'000;
    while (!queue.empty() && budget-- > 0) {
        const auto [due, pending] = *queue.begin();
        queue.erase(queue.begin());
        const Timestamp now = played.now + std::chrono::floor<std::chrono::seconds>(due.at);
        auto effects = applyEvent(played, pending.event, now);
        if (!effects) {
            // What an event set off may meet a world that moved on (an app quit before it showed
            // its windows); the real system shrugs that off too.
            if (pending.followUp) continue;
            const double seconds = toSeconds(due.at);
            if (!unfit(pending.source, Failure{"timeline[" + std::to_string(pending.source) + "]: " +
                                               effects.message() + " at " + formatSeconds(seconds) + " s"}))
                return;
            continue;
        }
        for (const TimelineEvent& next : effects->followUps)
            queue.emplace(Due{due.at + fromSeconds(next.at), sequence++}, Pending{next.event, pending.source, true});
    }
}

} // namespace

std::optional<Failure> checkTimeline(const World& world) {
    std::optional<Failure> first;
    playTimeline(world, [&](std::size_t, Failure failure) {
        first = std::move(failure);
        return false;
    });
    return first;
}

std::vector<std::size_t> unfitTimelineEvents(const World& world) {
    std::vector<std::size_t> unfit;
    playTimeline(world, [&](std::size_t index, const Failure&) {
        unfit.push_back(index);
        return true;
    });
    std::sort(unfit.begin(), unfit.end());
    return unfit;
}

} // namespace qw::sim
