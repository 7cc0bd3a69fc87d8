#pragma once

#include "platform/property_value.h"

#include <optional>
#include <string>

namespace qw::platform {

// CFPreferences: other apps' and the system's preference domains, read only.
class PreferenceDomains {
public:
    virtual ~PreferenceDomains() = default;
    // Re-reads the domain from disk so later reads see other processes' writes.
    virtual bool synchronize(const std::string& domain) = 0;
    virtual std::optional<PropertyValue> copyValue(const std::string& key, const std::string& domain) = 0;
};

} // namespace qw::platform
