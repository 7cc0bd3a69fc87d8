#pragma once

#include "model/display_info.h"
#include "model/saved_layout.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace qw {

// Pairs a layout's saved displays with the connected ones: first by UUID and key together, then by
// key alone, each connected display at most once. A saved display without a partner has no entry.
namespace DisplayMatcher {
std::unordered_map<std::string, DisplayInfo> map(const std::vector<SavedDisplay>& saved,
                                                 const std::vector<DisplayInfo>& connected);
}

} // namespace qw
