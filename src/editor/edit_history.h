#pragma once

#include "editor/edit_state.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace qw {

// The canvas's undo stack: the states before recent edits, oldest first, bounded so that a long
// session does not grow it without end.
class EditHistory {
public:
    static constexpr std::size_t limit = 50;

    // Remembers `state` unless it equals the newest entry; drops the oldest beyond the limit.
    void checkpoint(const EditState& state);
    // Forgets the newest entry when it equals `state`: a gesture that ended where it began.
    void dropIfUnchanged(const EditState& state);
    // Takes the newest entry off; none when the history is empty.
    std::optional<EditState> pop();
    void clear() { entries_.clear(); }

    const std::vector<EditState>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

    bool operator==(const EditHistory&) const = default;

private:
    std::vector<EditState> entries_;
};

} // namespace qw
