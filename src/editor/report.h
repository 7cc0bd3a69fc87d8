#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qw {

// What an editor operation did, as the status bar and the menu show it.
struct Report {
    int moved = 0;                   // windows moved
    std::vector<std::string> notes;  // shown as a list under the summary
    std::optional<std::string> headline;
    std::optional<std::string> context; // why it ran, e.g. the reason for an automatic restore
    bool failed = false;             // nothing useful was done; shown as a warning

    // The headline (or "Moved N windows") and the context, joined with ". ".
    std::string summary() const;

    bool operator==(const Report&) const = default;
};

} // namespace qw
