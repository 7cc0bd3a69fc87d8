#include "platform/sim/sim_settings.h"

namespace qw::sim {

using platform::PropertyValue;

bool SimPreferenceDomains::synchronize(const std::string&) { return true; }

std::optional<PropertyValue> SimPreferenceDomains::copyValue(const std::string& key, const std::string& domain) {
    const auto values = state_.world.preferences.find(domain);
    if (values == state_.world.preferences.end()) return std::nullopt;
    const auto value = values->second.find(key);
    if (value == values->second.end()) return std::nullopt;
    return value->second;
}

std::optional<PropertyValue> SimUserDefaults::object(const std::string& key) {
    const auto value = state_.world.defaults.find(key);
    if (value == state_.world.defaults.end()) return std::nullopt;
    return value->second;
}

void SimUserDefaults::set(const std::string& key, PropertyValue value) {
    state_.world.defaults.insert_or_assign(key, std::move(value));
}

void SimUserDefaults::remove(const std::string& key) { state_.world.defaults.erase(key); }

} // namespace qw::sim
