#include "model/display_matcher.h"

#include <unordered_set>

namespace qw {

namespace DisplayMatcher {

std::unordered_map<std::string, DisplayInfo> map(const std::vector<SavedDisplay>& saved,
                                                 const std::vector<DisplayInfo>& connected) {
    std::unordered_map<std::string, DisplayInfo> pairs;
    std::unordered_set<DisplayID> taken;

    // One pass over the saved displays in their order, each taking the first free connected display
    // that `fits`. A saved display whose UUID already has a partner (an earlier one with the same
    // UUID) takes nothing, so that it cannot use up a connected display for an entry that exists.
    const auto pass = [&](auto fits) {
        for (const auto& display : saved) {
            if (pairs.contains(display.uuid)) continue;
            for (const auto& candidate : connected) {
                if (taken.contains(candidate.id) || !fits(display, candidate)) continue;
                pairs.emplace(display.uuid, candidate);
                taken.insert(candidate.id);
                break;
            }
        }
    };

    // The same display on the same port first, then the same monitor wherever it is now.
    pass([](const SavedDisplay& s, const DisplayInfo& c) { return c.uuid == s.uuid && c.key == s.key; });
    pass([](const SavedDisplay& s, const DisplayInfo& c) { return c.key == s.key; });
    return pairs;
}

} // namespace DisplayMatcher

} // namespace qw
