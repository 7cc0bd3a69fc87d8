#pragma once

#include "model/rect.h"
#include "model/result.h"
#include "model/timestamp.h"
#include "platform/property_value.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>

// The JSON side of world files: strict parsing, typed reads that name the member's path, and the
// plain value forms the writer shares with the reader.
namespace qw::sim::world_json {

using nlohmann::json;
using platform::PropertyValue;

// Where a member sits, as messages show it: `displays[1].spaces[0].id`, `preferences["com.apple.dock"]`.
std::string memberPath(const std::string& path, std::string_view key);
std::string elementPath(const std::string& path, std::size_t index);

// The deepest nesting a world file may have; real worlds need a handful of levels.
inline constexpr int maxDepth = 64;
// Coordinates beyond this are refused: no display arrangement comes near it.
inline constexpr double maxCoordinate = 1'000'000;
// Dates outside these years are refused: the clocks cannot hold them.
inline constexpr int minYear = 1900;
inline constexpr int maxYear = 2199;

// Parses JSON, refusing what nlohmann would quietly accept: a member given twice, and nesting
// deeper than maxDepth. Never throws.
Result<json> parseStrictly(std::string_view text);

// Reads values off a parsed document. The first failure is kept and later ones are ignored, so
// a reader can carry on with defaults after a failure and report only what went wrong first.
class Reader {
public:
    bool ok() const { return !failure_; }
    const std::optional<Failure>& failure() const { return failure_; }
    void fail(const std::string& path, const std::string& message);

    std::optional<bool> boolean(const json& value, const std::string& path);
    std::optional<std::string> string(const json& value, const std::string& path);
    std::optional<std::string> nonEmptyString(const json& value, const std::string& path);
    // An integer within [min, max]; `what` names the expected kind in the message.
    std::optional<std::int64_t> integer(const json& value, const std::string& path, std::int64_t min,
                                        std::int64_t max, std::string_view what);
    std::optional<std::uint64_t> unsigned64(const json& value, const std::string& path);
    std::optional<double> number(const json& value, const std::string& path, double min, double max);
    std::optional<Rect> rect(const json& value, const std::string& path);    // [[x, y], [width, height]]
    std::optional<Size> size(const json& value, const std::string& path);    // [width, height]
    std::optional<Point> offset(const json& value, const std::string& path); // [dx, dy]
    std::optional<Timestamp> date(const json& value, const std::string& path);
    const json::array_t* array(const json& value, const std::string& path);
    // Any JSON value but null, as a property-list value.
    std::optional<PropertyValue> property(const json& value, const std::string& path);
    std::optional<PropertyValue::Dictionary> dictionary(const json& value, const std::string& path);

private:
    std::optional<Failure> failure_;
};

// One JSON object being read: members are asked for by name, and finish() refuses any member
// nobody asked for.
class ObjectReader {
public:
    ObjectReader(Reader& reader, const json& value, std::string path);
    ~ObjectReader() = default;
    ObjectReader(const ObjectReader&) = delete;
    ObjectReader& operator=(const ObjectReader&) = delete;

    bool isObject() const { return object_ != nullptr; }
    // The member, or null when it is absent.
    const json* member(std::string_view key);
    // The member, or null after recording that it is missing.
    const json* required(std::string_view key);
    std::string path(std::string_view key) const { return memberPath(path_, key); }
    const std::string& path() const { return path_; }
    Reader& reader() { return reader_; }

    bool boolean(std::string_view key, bool fallback);
    void finish();

private:
    Reader& reader_;
    const json::object_t* object_ = nullptr;
    std::string path_;
    std::set<std::string, std::less<>> asked_;
};

// Writing, keeping members in the order they are put: numbers that hold whole values are written as
// integers, so files stay readable.
using ordered_json = nlohmann::ordered_json;
ordered_json numberJson(double value);
ordered_json rectJson(const Rect& rect);
ordered_json pairJson(double a, double b);
ordered_json propertyJson(const PropertyValue& value);

} // namespace qw::sim::world_json
