#include "platform/symbolic_hot_keys.h"

#include <cmath>
#include <limits>

namespace qw::platform::SymbolicHotKeys {

namespace {

// A whole number in [0, max], stored as an integer or as a real without a fraction.
std::optional<std::uint64_t> wholeNumber(const PropertyValue& value, std::uint64_t max) {
    if (value.isInteger()) {
        const std::int64_t n = *value.asInt64();
        if (n < 0 || static_cast<std::uint64_t>(n) > max) return std::nullopt;
        return static_cast<std::uint64_t>(n);
    }
    const std::optional<double> d = value.asDouble();
    if (!d || !std::isfinite(*d) || *d < 0 || *d != std::floor(*d) || *d > static_cast<double>(max))
        return std::nullopt;
    return static_cast<std::uint64_t>(*d);
}

// "enabled" holds a Boolean, or a number standing for one.
bool isSwitchedOff(const PropertyValue* enabled) {
    if (!enabled) return false;
    if (const auto b = enabled->asBool()) return !*b;
    if (const auto d = enabled->asDouble()) return *d == 0;
    return false;
}

} // namespace

std::optional<HotKey> read(const PropertyValue* hotKeys, std::string_view id, HotKey fallback) {
    const PropertyValue* entry = hotKeys ? hotKeys->member(id) : nullptr;
    if (!entry || !entry->isDictionary()) return fallback;
    if (isSwitchedOff(entry->member("enabled"))) return std::nullopt;
    const PropertyValue* value = entry->member("value");
    const PropertyValue* parameters = value ? value->member("parameters") : nullptr;
    const PropertyValue::Array* list = parameters ? parameters->asArray() : nullptr;
    if (!list || list->size() < 3) return fallback;
    const auto keyCode = wholeNumber((*list)[1], std::numeric_limits<std::uint16_t>::max());
    // Flags are a 64-bit mask, but the file stores signed numbers; a negative one is no mask.
    const auto flags = wholeNumber((*list)[2], static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()));
    if (!keyCode || !flags) return fallback;
    return HotKey{static_cast<std::uint16_t>(*keyCode), *flags};
}

} // namespace qw::platform::SymbolicHotKeys
