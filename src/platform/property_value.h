#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace qw::platform {

// A property-list value, as the system hands over raw replies (window-list entries, the private
// desktop functions' replies, preference domains, user defaults). Consumers do their own type
// checks, because the system gives no guarantee about what a member holds.
//
// Numbers keep the distinction the system makes between integers and reals. Like a CFNumber, an
// integer read as unsigned gives its 64-bit pattern, and a real read as an integer is truncated.
class PropertyValue {
public:
    using Array = std::vector<PropertyValue>;
    using Dictionary = std::map<std::string, PropertyValue, std::less<>>;
    using Date = std::chrono::system_clock::time_point;
    using Data = std::vector<std::uint8_t>;

    PropertyValue() = default; // an empty string is the closest plist analogue of "nothing"; prefer optional
    PropertyValue(bool b) : value_(b) {}
    PropertyValue(int i) : value_(std::int64_t{i}) {}
    PropertyValue(std::int64_t i) : value_(i) {}
    PropertyValue(std::uint32_t i) : value_(std::int64_t{i}) {}
    PropertyValue(std::uint64_t i) : value_(static_cast<std::int64_t>(i)) {}
    PropertyValue(double d) : value_(d) {}
    PropertyValue(const char* s) : value_(std::string(s)) {}
    PropertyValue(std::string s) : value_(std::move(s)) {}
    PropertyValue(Array a) : value_(std::move(a)) {}
    PropertyValue(Dictionary d) : value_(std::move(d)) {}
    PropertyValue(Date d) : value_(d) {}
    PropertyValue(Data d) : value_(std::move(d)) {}

    bool isBool() const { return std::holds_alternative<bool>(value_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(value_); }
    bool isReal() const { return std::holds_alternative<double>(value_); }
    bool isNumber() const { return isInteger() || isReal(); }
    bool isString() const { return std::holds_alternative<std::string>(value_); }
    bool isArray() const { return std::holds_alternative<Array>(value_); }
    bool isDictionary() const { return std::holds_alternative<Dictionary>(value_); }
    bool isDate() const { return std::holds_alternative<Date>(value_); }
    bool isData() const { return std::holds_alternative<Data>(value_); }

    // Typed reads: absent when the value is of another kind.
    std::optional<bool> asBool() const;
    std::optional<std::int64_t> asInt64() const;   // integers, and reals truncated toward zero (in range)
    std::optional<std::uint64_t> asUInt64() const; // the 64-bit pattern of an integer; reals truncated
    std::optional<std::int32_t> asInt32() const;   // the low 32 bits, as a CFNumber read as SInt32
    std::optional<std::uint32_t> asUInt32() const; // the low 32 bits
    std::optional<double> asDouble() const;        // integers and reals
    const std::string* asString() const;
    const Array* asArray() const;
    const Dictionary* asDictionary() const;
    const Date* asDate() const;
    const Data* asData() const;

    // A dictionary's member, or null when this is not a dictionary or has no such member.
    const PropertyValue* member(std::string_view key) const;

    bool operator==(const PropertyValue&) const = default;

private:
    std::variant<std::string, bool, std::int64_t, double, Array, Dictionary, Date, Data> value_;
};

} // namespace qw::platform
