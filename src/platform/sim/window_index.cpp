#include "platform/sim/window_index.h"

namespace qw::sim {

const Window* WindowIndex::find(const World& world, WindowID id) {
    if (stale_ || indexed_ != world.windows.size()) rebuild(world);
    auto it = positions_.find(id);
    if (it != positions_.end() && it->second < world.windows.size() && world.windows[it->second].id == id)
        return &world.windows[it->second];
    if (it == positions_.end()) return nullptr;
    // The windows were rearranged behind the index's back.
    rebuild(world);
    it = positions_.find(id);
    return it == positions_.end() ? nullptr : &world.windows[it->second];
}

void WindowIndex::rebuild(const World& world) {
    positions_.clear();
    positions_.reserve(world.windows.size());
    for (std::size_t i = 0; i < world.windows.size(); ++i) positions_.emplace(world.windows[i].id, i);
    indexed_ = world.windows.size();
    stale_ = false;
}

} // namespace qw::sim
