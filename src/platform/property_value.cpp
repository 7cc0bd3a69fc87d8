#include "platform/property_value.h"

#include <cmath>

namespace qw::platform {

std::optional<bool> PropertyValue::asBool() const {
    if (const auto* b = std::get_if<bool>(&value_)) return *b;
    return std::nullopt;
}

std::optional<std::int64_t> PropertyValue::asInt64() const {
    if (const auto* i = std::get_if<std::int64_t>(&value_)) return *i;
    if (const auto* d = std::get_if<double>(&value_)) {
        // Only reals that truncate to a representable integer; 2^63 itself is out of range.
        if (std::isfinite(*d) && *d >= -9223372036854775808.0 && *d < 9223372036854775808.0)
            return static_cast<std::int64_t>(*d);
    }
    return std::nullopt;
}

std::optional<std::uint64_t> PropertyValue::asUInt64() const {
    if (const auto* i = std::get_if<std::int64_t>(&value_)) return static_cast<std::uint64_t>(*i);
    if (const auto* d = std::get_if<double>(&value_)) {
        if (std::isfinite(*d) && *d > -1 && *d < 18446744073709551616.0) return static_cast<std::uint64_t>(*d);
        if (const auto i = asInt64()) return static_cast<std::uint64_t>(*i);
    }
    return std::nullopt;
}

std::optional<std::int32_t> PropertyValue::asInt32() const {
    if (const auto i = asInt64()) return static_cast<std::int32_t>(static_cast<std::uint32_t>(*i));
    return std::nullopt;
}

std::optional<std::uint32_t> PropertyValue::asUInt32() const {
    if (const auto i = asUInt64()) return static_cast<std::uint32_t>(*i);
    return std::nullopt;
}

std::optional<double> PropertyValue::asDouble() const {
    if (const auto* d = std::get_if<double>(&value_)) return *d;
    if (const auto* i = std::get_if<std::int64_t>(&value_)) return static_cast<double>(*i);
    return std::nullopt;
}

const std::string* PropertyValue::asString() const { return std::get_if<std::string>(&value_); }
const PropertyValue::Array* PropertyValue::asArray() const { return std::get_if<Array>(&value_); }
const PropertyValue::Dictionary* PropertyValue::asDictionary() const { return std::get_if<Dictionary>(&value_); }
const PropertyValue::Date* PropertyValue::asDate() const { return std::get_if<Date>(&value_); }
const PropertyValue::Data* PropertyValue::asData() const { return std::get_if<Data>(&value_); }

const PropertyValue* PropertyValue::member(std::string_view key) const {
    const auto* dictionary = asDictionary();
    if (!dictionary) return nullptr;
    const auto it = dictionary->find(key);
    return it == dictionary->end() ? nullptr : &it->second;
}

} // namespace qw::platform
