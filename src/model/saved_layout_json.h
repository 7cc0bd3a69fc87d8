#pragma once

#include "model/result.h"
#include "model/saved_layout.h"

#include <nlohmann/json.hpp>

#include <string>

namespace qw {

// The JSON form of saved layouts inside the layouts file. Writing leaves absent optionals out
// (never null) and writes UUIDs in upper case and dates as whole-second UTC with a trailing Z.
// Reading is strict about the members it knows (required ones present, every known one of the right
// type and range) and ignores members it does not know. A failure names the member's path, starting
// from `path` (for example "layouts[2].windows[0].frame").
nlohmann::json toJson(const DisplayKey& key);
nlohmann::json toJson(const Rect& rect);
nlohmann::json toJson(const SavedDisplay& display);
nlohmann::json toJson(const SavedWindow& window);
nlohmann::json toJson(const SavedLayout& layout);

Result<DisplayKey> displayKeyFromJson(const nlohmann::json& json, const std::string& path);
Result<Rect> rectFromJson(const nlohmann::json& json, const std::string& path);
Result<SavedDisplay> savedDisplayFromJson(const nlohmann::json& json, const std::string& path);
Result<SavedWindow> savedWindowFromJson(const nlohmann::json& json, const std::string& path);
Result<SavedLayout> savedLayoutFromJson(const nlohmann::json& json, const std::string& path);

} // namespace qw
