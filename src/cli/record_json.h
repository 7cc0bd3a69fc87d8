#pragma once

#include "model/display_info.h"
#include "model/space_info.h"
#include "model/window_info.h"

#include <nlohmann/json.hpp>

// The live records as the command line prints them with --json: the records' own field names,
// rectangles as [[x,y],[w,h]], and absent optionals left out rather than null.
namespace qw::cli {

nlohmann::json toJson(const SpaceInfo& space);
nlohmann::json toJson(const DisplayInfo& display);
nlohmann::json toJson(const WindowInfo& window);

} // namespace qw::cli
