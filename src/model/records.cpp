#include "model/display_info.h"
#include "model/display_key.h"
#include "model/hashing.h"
#include "model/space_info.h"
#include "model/window_info.h"

namespace qw {

std::optional<SpaceInfo> DisplayInfo::currentSpace() const {
    for (const auto& space : spaces)
        if (space.id == currentSpaceID) return space;
    return std::nullopt;
}

} // namespace qw

using qw::hashValues;

std::size_t std::hash<qw::DisplayKey>::operator()(const qw::DisplayKey& k) const noexcept {
    return hashValues(k.vendor, k.model, k.serial);
}

std::size_t std::hash<qw::SpaceInfo>::operator()(const qw::SpaceInfo& s) const noexcept {
    return hashValues(s.id, s.uuid, s.index, s.isFullscreen, s.number, s.name, s.nickname);
}

std::size_t std::hash<qw::DisplayInfo>::operator()(const qw::DisplayInfo& d) const noexcept {
    return hashValues(d.id, d.uuid, d.key, d.name, d.frame, d.visibleFrame, d.isMain, d.spaces,
                      d.currentSpaceID);
}

std::size_t std::hash<qw::WindowInfo>::operator()(const qw::WindowInfo& w) const noexcept {
    return hashValues(w.id, w.pid, w.appName, w.bundleID, w.title, w.frame, w.spaceIDs, w.isOnScreen,
                      w.zOrder);
}
