#include "editor/edit_history.h"

namespace qw {

void EditHistory::checkpoint(const EditState& state) {
    if (!entries_.empty() && entries_.back() == state) return;
    entries_.push_back(state);
    if (entries_.size() > limit) entries_.erase(entries_.begin());
}

void EditHistory::dropIfUnchanged(const EditState& state) {
    if (!entries_.empty() && entries_.back() == state) entries_.pop_back();
}

std::optional<EditState> EditHistory::pop() {
    if (entries_.empty()) return std::nullopt;
    auto state = std::move(entries_.back());
    entries_.pop_back();
    return state;
}

} // namespace qw
