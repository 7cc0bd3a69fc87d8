#pragma once

#include "platform/property_value.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace qw::platform {

// The system's own keyboard shortcuts, as stored under "AppleSymbolicHotKeys" in the preference
// domain "com.apple.symbolichotkeys": a dictionary from a shortcut's id to an entry with "enabled"
// and a "value" whose "parameters" are the character, the virtual key code and the modifier flags.
namespace SymbolicHotKeys {

inline constexpr const char* domain = "com.apple.symbolichotkeys";
inline constexpr const char* key = "AppleSymbolicHotKeys";
inline constexpr const char* moveLeftASpace = "79";
inline constexpr const char* moveRightASpace = "81";

struct HotKey {
    std::uint16_t keyCode = 0;
    std::uint64_t flags = 0; // CGEventFlags
    bool operator==(const HotKey&) const = default;
};

// The shortcut with that id in `hotKeys` (the value stored under "AppleSymbolicHotKeys", null when
// there is none). None when the user switched it off ("enabled" false); `fallback`, the system's
// default, when the entry is missing or malformed. Anyone can write the file, so a key code outside
// 0-65535 or flags that are not a non-negative whole number count as malformed.
std::optional<HotKey> read(const PropertyValue* hotKeys, std::string_view id, HotKey fallback);

} // namespace SymbolicHotKeys

} // namespace qw::platform
