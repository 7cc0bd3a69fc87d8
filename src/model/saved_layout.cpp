#include "model/saved_layout.h"

#include "model/hashing.h"

#include <algorithm>

namespace qw {

namespace {

std::vector<DisplayKey> sortedKeys(const std::vector<SavedDisplay>& displays) {
    std::vector<DisplayKey> keys;
    keys.reserve(displays.size());
    for (const auto& display : displays) keys.push_back(display.key);
    std::sort(keys.begin(), keys.end());
    return keys;
}

} // namespace

bool SavedLayout::hasSameDisplays(const SavedLayout& other) const {
    // Compared as multisets: two monitors of the same model count twice.
    return sortedKeys(displays) == sortedKeys(other.displays);
}

} // namespace qw

using qw::hashValues;

std::size_t std::hash<qw::SavedDisplay>::operator()(const qw::SavedDisplay& d) const noexcept {
    return hashValues(d.uuid, d.key, d.name, d.frame, d.visibleFrame);
}

std::size_t std::hash<qw::SavedWindow>::operator()(const qw::SavedWindow& w) const noexcept {
    return hashValues(w.bundleID, w.appName, w.title, w.display, w.frame, w.spaceIndex, w.zOrder, w.appPath,
                      w.keepsDesktop, w.spaceUUID, w.desktopNumber);
}

std::size_t std::hash<qw::SavedLayout>::operator()(const qw::SavedLayout& l) const noexcept {
    // The standard library has no hash for time points before C++26; the count of seconds stands in.
    return hashValues(l.id, l.name, l.created.time_since_epoch().count(), l.updated.time_since_epoch().count(),
                      l.displays, l.windows, l.autoRestore);
}
