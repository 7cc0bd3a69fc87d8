#pragma once

#include "platform/property_value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qw::platform {

// The window server's private desktop functions, loaded at run time by name. Loading and the
// once-only look-ups are the caller's business; this interface is the dynamic loader's view:
// a framework that may not load, and functions that may not be found.
class DesktopFunctions {
public:
    virtual ~DesktopFunctions() = default;

    // Loads the framework at `path` (lazy binding); false when it cannot be loaded.
    virtual bool loadFramework(const std::string& path) = 0;
    // Whether the loaded framework exports a function of that name.
    virtual bool hasSymbol(std::string_view name) = 0;

    // The functions themselves. Calling one that hasSymbol denies is a programming error.
    virtual std::int32_t mainConnectionID() = 0;                                        // SLSMainConnectionID
    virtual std::optional<PropertyValue> copyManagedDisplaySpaces(std::int32_t connection) = 0;
    virtual std::optional<PropertyValue> copySpacesForWindows(std::int32_t connection, std::int32_t selector,
                                                              const PropertyValue& windowNumbers) = 0;
};

} // namespace qw::platform
