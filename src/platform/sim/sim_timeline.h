#pragma once

#include "platform/main_loop.h"
#include "platform/sim/sim_state.h"

#include <cstdint>
#include <vector>

namespace qw::sim {

// Plays a world's timeline on the main loop: each event fires from a timer at its world time,
// changes the world, and posts its notifications from there, so observers hear of it on the loop.
// What an event sets off (an app showing its windows after its launch delay) joins the timeline.
class TimelinePlayer {
public:
    // Takes the world's pending events; nothing is scheduled until start().
    explicit TimelinePlayer(SimState& state);
    ~TimelinePlayer();
    TimelinePlayer(const TimelinePlayer&) = delete;
    TimelinePlayer& operator=(const TimelinePlayer&) = delete;

    void start();
    // Adds an event `event.at` seconds after now.
    void add(TimelineEvent event);
    // Brings world.now and world.timeline up to the loop's time: the wall clock in whole seconds,
    // and the events still to come counted from it.
    void syncWorld();

private:
    struct Pending {
        std::uint64_t id = 0;
        Duration due; // since the world started
        Event event;
        std::optional<TimerId> timer;
    };

    void schedule(Pending& pending);
    void fire(std::uint64_t id);

    SimState& state_;
    std::vector<Pending> pending_; // in the order they were added
    std::uint64_t nextId_ = 0;
    bool started_ = false;
};

} // namespace qw::sim
