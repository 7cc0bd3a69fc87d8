#pragma once

#include "platform/property_value.h"

#include <optional>
#include <string>

namespace qw::platform {

// The app's own standard user defaults.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;
    virtual std::optional<PropertyValue> object(const std::string& key) = 0;
    virtual void set(const std::string& key, PropertyValue value) = 0;
    virtual void remove(const std::string& key) = 0;
};

// The keys the app keeps.
namespace DefaultsKeys {
inline constexpr const char* autoRestoreEnabled = "autoRestoreEnabled";
inline constexpr const char* launcherApps = "launcherApps";
inline constexpr const char* desktopNames = "desktopNames";
inline constexpr const char* appsPaletteShows = "appsPaletteShows";
} // namespace DefaultsKeys

} // namespace qw::platform
