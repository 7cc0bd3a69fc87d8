#pragma once

// Property-list values written as JSON, so that the reply fuzzers' inputs and seeds stay readable
// and their mutations stay meaningful. Shared by the fuzz targets and the tests that replay their
// seeds; it needs no libFuzzer.
//
//   integers          -> integers (beyond the signed 64-bit range: their 64-bit pattern, as a CFNumber)
//   other numbers     -> reals
//   strings, booleans -> strings, booleans
//   arrays, objects   -> arrays, dictionaries
//   null              -> nothing: the call returns nothing; inside an array or object, the element
//                        or member is left out (a property list has no null)
//
// Objects of one member whose name starts with "$" stand for what JSON cannot say:
//   {"$real": 4}  a real holding a whole value;  {"$real": "nan"}, "inf", "-inf": those reals
//   {"$date": SECONDS}  a date, whole seconds since 1970
//   {"$data": "TEXT"}   data: the bytes of the text

#include "platform/property_value.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace qw::fuzzing {

using platform::PropertyValue;

// Deeper values are cut off (read as nothing): enough for any shape a reply has, and a bound on
// the recursion here and in PropertyValue's own destructor.
inline constexpr int maxPropertyDepth = 100;

// The JSON text, or nothing when it is not JSON. Never throws for bad text.
inline std::optional<nlohmann::json> parseJson(std::string_view text) {
    auto parsed = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    if (parsed.is_discarded()) return std::nullopt;
    return parsed;
}

namespace detail {

inline std::optional<PropertyValue> specialValue(const std::string& key, const nlohmann::json& value) {
    if (key == "$real") {
        if (value.is_number()) return PropertyValue(value.get<double>());
        if (value == "nan") return PropertyValue(std::numeric_limits<double>::quiet_NaN());
        if (value == "inf") return PropertyValue(std::numeric_limits<double>::infinity());
        if (value == "-inf") return PropertyValue(-std::numeric_limits<double>::infinity());
    } else if (key == "$date") {
        // Whole seconds within the clock's range (nanoseconds in 64 bits: about ±292 years from 1970).
        constexpr std::int64_t limit = 9'000'000'000;
        if (value.is_number_integer() && value.get<std::int64_t>() >= -limit && value.get<std::int64_t>() <= limit)
            return PropertyValue(PropertyValue::Date(std::chrono::seconds(value.get<std::int64_t>())));
    } else if (key == "$data") {
        if (value.is_string()) {
            const auto& text = value.get_ref<const std::string&>();
            return PropertyValue(PropertyValue::Data(text.begin(), text.end()));
        }
    }
    return std::nullopt;
}

} // namespace detail

// The property-list value the JSON stands for; nothing for null and for values nested deeper than
// maxPropertyDepth.
inline std::optional<PropertyValue> propertyFromJson(const nlohmann::json& value, int depth = 0) {
    using Type = nlohmann::json::value_t;
    if (depth > maxPropertyDepth) return std::nullopt;
    switch (value.type()) {
    case Type::boolean: return PropertyValue(value.get<bool>());
    case Type::number_integer: return PropertyValue(value.get<std::int64_t>());
    case Type::number_unsigned: return PropertyValue(value.get<std::uint64_t>());
    case Type::number_float: return PropertyValue(value.get<double>());
    case Type::string: return PropertyValue(value.get<std::string>());
    case Type::array: {
        PropertyValue::Array elements;
        elements.reserve(value.size());
        for (const auto& element : value)
            if (auto converted = propertyFromJson(element, depth + 1)) elements.push_back(std::move(*converted));
        return PropertyValue(std::move(elements));
    }
    case Type::object: {
        if (value.size() == 1 && value.begin().key().starts_with("$"))
            if (auto special = detail::specialValue(value.begin().key(), value.begin().value())) return special;
        PropertyValue::Dictionary members;
        for (const auto& [key, member] : value.items())
            if (auto converted = propertyFromJson(member, depth + 1)) members.emplace(key, std::move(*converted));
        return PropertyValue(std::move(members));
    }
    default: return std::nullopt; // null, and the binary values JSON text never holds
    }
}

} // namespace qw::fuzzing
