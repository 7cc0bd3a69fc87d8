#include "cli/record_json.h"

#include "model/saved_layout_json.h"

namespace qw::cli {

using nlohmann::json;

json toJson(const SpaceInfo& space) {
    json out{{"id", space.id},
             {"uuid", space.uuid},
             {"index", space.index},
             {"isFullscreen", space.isFullscreen},
             {"name", space.name}};
    if (space.number) out["number"] = *space.number;
    if (space.nickname) out["nickname"] = *space.nickname;
    return out;
}

json toJson(const DisplayInfo& display) {
    json spaces = json::array();
    for (const auto& space : display.spaces) spaces.push_back(toJson(space));
    return json{{"id", display.id},
                {"uuid", display.uuid},
                {"key", qw::toJson(display.key)},
                {"name", display.name},
                {"frame", qw::toJson(display.frame)},
                {"visibleFrame", qw::toJson(display.visibleFrame)},
                {"isMain", display.isMain},
                {"spaces", std::move(spaces)},
                {"currentSpaceID", display.currentSpaceID}};
}

json toJson(const WindowInfo& window) {
    json out{{"id", window.id},
             {"pid", window.pid},
             {"appName", window.appName},
             {"title", window.title},
             {"frame", qw::toJson(window.frame)},
             {"spaceIDs", window.spaceIDs},
             {"isOnScreen", window.isOnScreen},
             {"zOrder", window.zOrder}};
    if (window.bundleID) out["bundleID"] = *window.bundleID;
    return out;
}

} // namespace qw::cli
