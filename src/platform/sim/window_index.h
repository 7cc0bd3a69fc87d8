#pragma once

#include "platform/sim/world.h"

#include <cstddef>
#include <unordered_map>

namespace qw::sim {

// Finds a window of the world by its number in constant time. The index is rebuilt on the first
// look-up after the windows changed: after invalidate(), or when a position it remembers no longer
// holds the window it names, or the number of windows differs from what it indexed.
class WindowIndex {
public:
    const Window* find(const World& world, WindowID id);
    void invalidate() { stale_ = true; }

private:
    void rebuild(const World& world);

    std::unordered_map<WindowID, std::size_t> positions_;
    std::size_t indexed_ = 0;
    bool stale_ = true;
};

} // namespace qw::sim
