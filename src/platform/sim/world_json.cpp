#include "platform/sim/world_json.h"

#include <chrono>
#include <cmath>
#include <vector>

namespace qw::sim::world_json {

namespace {

bool isIdentifier(std::string_view key) {
    if (key.empty() || std::isdigit(static_cast<unsigned char>(key.front()))) return false;
    for (const char c : key)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

// Why the parser was stopped early, with the path it had reached.
struct ParseStop {
    std::string path;
    std::string message;
};

// The parser's position, kept from its callback events so that a stop or a syntax error can say
// where it happened.
class PathTracker {
public:
    void onEvent(json::parse_event_t event, const json& parsed) {
        using E = json::parse_event_t;
        switch (event) {
        case E::object_start:
        case E::array_start:
            enterElement();
            if (static_cast<int>(frames_.size()) >= maxDepth)
                throw ParseStop{path(), "nested more than " + std::to_string(maxDepth) + " levels deep"};
            frames_.push_back(Frame{event == E::array_start, 0, {}, {}, false, false});
            break;
        case E::key: {
            Frame& frame = frames_.back();
            frame.key = parsed.is_string() ? parsed.get<std::string>() : std::string();
            frame.hasKey = true;
            frame.memberDone = false;
            if (!frame.keys.insert(frame.key).second)
                throw ParseStop{path(), "member given twice"};
            break;
        }
        case E::value:
            enterElement();
            finishMember();
            break;
        case E::object_end:
        case E::array_end:
            if (!frames_.empty()) frames_.pop_back();
            finishMember();
            break;
        }
    }

    // The member or element being read when the text stopped making sense: the value of the key
    // read last, or the next element of an array; the container itself between two members.
    std::string errorPath() const {
        std::string p;
        for (std::size_t i = 0; i < frames_.size(); ++i) {
            const Frame& frame = frames_[i];
            const bool innermost = i + 1 == frames_.size();
            if (frame.array) {
                p = elementPath(p, innermost ? frame.count : frame.count - 1);
            } else {
                if (!frame.hasKey || (innermost && frame.memberDone)) break;
                p = memberPath(p, frame.key);
            }
        }
        return p;
    }

private:
    struct Frame {
        bool array = false;
        std::size_t count = 0; // elements seen, for arrays
        std::set<std::string, std::less<>> keys;
        std::string key;      // for objects, the key read last
        bool hasKey = false;
        bool memberDone = false; // its value has been read
    };

    void enterElement() {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().count;
    }

    void finishMember() {
        if (!frames_.empty() && !frames_.back().array) frames_.back().memberDone = true;
    }

    std::string path() const {
        std::string p;
        for (const Frame& frame : frames_)
            p = frame.array ? elementPath(p, frame.count == 0 ? 0 : frame.count - 1) : memberPath(p, frame.key);
        return p;
    }

    std::vector<Frame> frames_;
};

// nlohmann's messages start with an internal tag, "[json.exception.parse_error.101] ".
std::string withoutTag(const char* what) {
    const std::string text(what);
    const auto end = text.find("] ");
    return end == std::string::npos ? text : text.substr(end + 2);
}

// The parser quotes the text it last read, which may hold the very bytes that are not UTF-8; the
// message is itself text, so each such byte becomes U+FFFD.
std::string validUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        bool valid = length != 0 && i + length <= text.size() && (length != 2 || lead >= 0xC2);
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (valid) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string rootPath(const std::string& path) { return path.empty() ? "world" : path; }

} // namespace

std::string memberPath(const std::string& path, std::string_view key) {
    if (isIdentifier(key)) return path.empty() ? std::string(key) : path + "." + std::string(key);
    return path + "[" + json(std::string(key)).dump(-1, ' ', false, json::error_handler_t::replace) + "]";
}

std::string elementPath(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

Result<json> parseStrictly(std::string_view text) {
    PathTracker tracker;
    const json::parser_callback_t callback = [&](int, json::parse_event_t event, json& parsed) {
        tracker.onEvent(event, parsed);
        return true;
    };
    try {
        return json::parse(text.begin(), text.end(), callback, true, false);
    } catch (const ParseStop& stop) {
        return Failure{rootPath(stop.path) + ": " + stop.message};
    } catch (const json::exception& error) {
        return Failure{rootPath(tracker.errorPath()) + ": not valid JSON: " + validUtf8(withoutTag(error.what()))};
    } catch (const std::exception& error) { // out of memory and the like: still a value, never a throw
        return Failure{std::string("world: cannot be read: ") + error.what()};
    }
}

// ---- Reader ----------------------------------------------------------------------------------------

void Reader::fail(const std::string& path, const std::string& message) {
    if (!failure_) failure_ = Failure{rootPath(path) + ": " + message};
}

std::optional<bool> Reader::boolean(const json& value, const std::string& path) {
    if (!value.is_boolean()) {
        fail(path, "expected true or false");
        return std::nullopt;
    }
    return value.get<bool>();
}

std::optional<std::string> Reader::string(const json& value, const std::string& path) {
    if (!value.is_string()) {
        fail(path, "expected a string");
        return std::nullopt;
    }
    return value.get<std::string>();
}

std::optional<std::string> Reader::nonEmptyString(const json& value, const std::string& path) {
    auto text = string(value, path);
    if (text && text->empty()) {
        fail(path, "must not be empty");
        return std::nullopt;
    }
    return text;
}

std::optional<std::int64_t> Reader::integer(const json& value, const std::string& path, std::int64_t min,
                                            std::int64_t max, std::string_view what) {
    const std::string expected = "expected " + std::string(what);
    if (value.is_number_unsigned()) {
        // Whole numbers from 0 up are parsed as unsigned: both bounds still apply, and a negative
        // upper bound refuses every one of them.
        const auto n = value.get<std::uint64_t>();
        if (max < 0 || n > static_cast<std::uint64_t>(max) || static_cast<std::int64_t>(n) < min) {
            fail(path, value.dump() + " is out of range (" + expected + ")");
            return std::nullopt;
        }
        return static_cast<std::int64_t>(n);
    }
    if (value.is_number_integer()) {
        const auto n = value.get<std::int64_t>();
        if (n < min || n > max) {
            fail(path, value.dump() + " is out of range (" + expected + ")");
            return std::nullopt;
        }
        return n;
    }
    fail(path, value.is_number() ? value.dump() + " is not an integer (" + expected + ")" : expected);
    return std::nullopt;
}

std::optional<std::uint64_t> Reader::unsigned64(const json& value, const std::string& path) {
    if (value.is_number_unsigned()) return value.get<std::uint64_t>();
    const std::string expected = "expected an unsigned 64-bit integer";
    if (value.is_number_integer())
        fail(path, value.dump() + " is out of range (" + expected + ")");
    else
        fail(path, value.is_number() ? value.dump() + " is not an integer (" + expected + ")" : expected);
    return std::nullopt;
}

std::optional<double> Reader::number(const json& value, const std::string& path, double min, double max) {
    if (!value.is_number()) {
        fail(path, "expected a number");
        return std::nullopt;
    }
    const double n = value.get<double>();
    if (!std::isfinite(n) || n < min || n > max) {
        fail(path, value.dump() + " is out of range (expected a number from " + numberJson(min).dump() + " to " +
                       numberJson(max).dump() + ")");
        return std::nullopt;
    }
    return n;
}

namespace {

// Two numbers [a, b] within the coordinate range, or nothing.
std::optional<std::pair<double, double>> numberPair(const json& value) {
    if (!value.is_array() || value.size() != 2 || !value[0].is_number() || !value[1].is_number())
        return std::nullopt;
    const double a = value[0].get<double>(), b = value[1].get<double>();
    if (!std::isfinite(a) || !std::isfinite(b) || std::abs(a) > maxCoordinate || std::abs(b) > maxCoordinate)
        return std::nullopt;
    return std::pair{a, b};
}

const std::string coordinateRange = " within ±1000000";

} // namespace

std::optional<Rect> Reader::rect(const json& value, const std::string& path) {
    const std::string shape = "expected [[x, y], [width, height]]";
    if (!value.is_array() || value.size() != 2) {
        fail(path, shape);
        return std::nullopt;
    }
    const auto origin = numberPair(value[0]), size = numberPair(value[1]);
    if (!origin || !size) {
        fail(path, shape + " with numbers" + coordinateRange);
        return std::nullopt;
    }
    if (size->first < 0 || size->second < 0) {
        fail(path, "width and height must not be negative");
        return std::nullopt;
    }
    return Rect(origin->first, origin->second, size->first, size->second);
}

std::optional<Size> Reader::size(const json& value, const std::string& path) {
    const auto pair = numberPair(value);
    if (!pair || pair->first < 0 || pair->second < 0) {
        fail(path, "expected [width, height], not negative," + coordinateRange);
        return std::nullopt;
    }
    return Size{pair->first, pair->second};
}

std::optional<Point> Reader::offset(const json& value, const std::string& path) {
    const auto pair = numberPair(value);
    if (!pair) {
        fail(path, "expected [dx, dy]" + coordinateRange);
        return std::nullopt;
    }
    return Point{pair->first, pair->second};
}

std::optional<Timestamp> Reader::date(const json& value, const std::string& path) {
    const auto parsed = value.is_string() ? parseTimestamp(value.get<std::string>()) : std::nullopt;
    if (!parsed) {
        fail(path, "expected an ISO 8601 UTC date with whole seconds, such as \"2026-01-05T09:00:00Z\"");
        return std::nullopt;
    }
    // The world's clocks count nanoseconds in 64 bits, which reach only from 1677 to 2262; these
    // bounds leave room for a timeline's run past them.
    using namespace std::chrono;
    if (*parsed < sys_days{year{minYear} / January / 1} || *parsed >= sys_days{year{maxYear + 1} / January / 1}) {
        fail(path, value.dump() + " is out of range (expected a date in the years " + std::to_string(minYear) +
                       " to " + std::to_string(maxYear) + ")");
        return std::nullopt;
    }
    return parsed;
}

const json::array_t* Reader::array(const json& value, const std::string& path) {
    if (!value.is_array()) {
        fail(path, "expected an array");
        return nullptr;
    }
    return value.get_ptr<const json::array_t*>();
}

std::optional<PropertyValue> Reader::property(const json& value, const std::string& path) {
    switch (value.type()) {
    case json::value_t::boolean: return PropertyValue(value.get<bool>());
    case json::value_t::number_integer: return PropertyValue(value.get<std::int64_t>());
    case json::value_t::number_unsigned: {
        const auto n = value.get<std::uint64_t>();
        if (n > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            fail(path, value.dump() + " is out of range (expected a signed 64-bit integer)");
            return std::nullopt;
        }
        return PropertyValue(static_cast<std::int64_t>(n));
    }
    case json::value_t::number_float: return PropertyValue(value.get<double>());
    case json::value_t::string: return PropertyValue(value.get<std::string>());
    case json::value_t::array: {
        PropertyValue::Array elements;
        elements.reserve(value.size());
        for (std::size_t i = 0; i < value.size(); ++i) {
            auto element = property(value[i], elementPath(path, i));
            if (!element) return std::nullopt;
            elements.push_back(std::move(*element));
        }
        return PropertyValue(std::move(elements));
    }
    case json::value_t::object: {
        auto members = dictionary(value, path);
        if (!members) return std::nullopt;
        return PropertyValue(std::move(*members));
    }
    default:
        fail(path, "expected a value (null has no property-list form)");
        return std::nullopt;
    }
}

std::optional<PropertyValue::Dictionary> Reader::dictionary(const json& value, const std::string& path) {
    if (!value.is_object()) {
        fail(path, "expected an object");
        return std::nullopt;
    }
    PropertyValue::Dictionary members;
    for (const auto& [key, member] : value.items()) {
        auto converted = property(member, memberPath(path, key));
        if (!converted) return std::nullopt;
        members.emplace(key, std::move(*converted));
    }
    return members;
}

// ---- ObjectReader ----------------------------------------------------------------------------------

ObjectReader::ObjectReader(Reader& reader, const json& value, std::string path)
    : reader_(reader), path_(std::move(path)) {
    if (value.is_object())
        object_ = value.get_ptr<const json::object_t*>();
    else
        reader_.fail(path_, "expected an object");
}

const json* ObjectReader::member(std::string_view key) {
    asked_.emplace(key);
    if (!object_) return nullptr;
    const auto it = object_->find(std::string(key));
    return it == object_->end() ? nullptr : &it->second;
}

const json* ObjectReader::required(std::string_view key) {
    const json* value = member(key);
    if (!value && object_) reader_.fail(path(key), "missing");
    return value;
}

bool ObjectReader::boolean(std::string_view key, bool fallback) {
    const json* value = member(key);
    if (!value) return fallback;
    return reader_.boolean(*value, path(key)).value_or(fallback);
}

void ObjectReader::finish() {
    if (!object_) return;
    for (const auto& [key, value] : *object_)
        if (!asked_.contains(key)) {
            reader_.fail(path(key), "unknown member");
            return;
        }
}

// ---- Writing ---------------------------------------------------------------------------------------

ordered_json numberJson(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::abs(value) < 9e15)
        return static_cast<std::int64_t>(value);
    return value;
}

ordered_json pairJson(double a, double b) { return ordered_json::array({numberJson(a), numberJson(b)}); }

ordered_json rectJson(const Rect& rect) {
    return ordered_json::array({pairJson(rect.x(), rect.y()), pairJson(rect.width(), rect.height())});
}

ordered_json propertyJson(const PropertyValue& value) {
    if (const auto b = value.asBool()) return *b;
    if (value.isInteger()) return *value.asInt64();
    if (value.isReal()) {
        const double d = *value.asDouble();
        return std::isfinite(d) ? ordered_json(d) : ordered_json(0.0); // JSON has no infinities
    }
    if (const auto* s = value.asString()) return *s;
    if (const auto* a = value.asArray()) {
        ordered_json elements = ordered_json::array();
        for (const auto& element : *a) elements.push_back(propertyJson(element));
        return elements;
    }
    if (const auto* d = value.asDictionary()) {
        ordered_json members = ordered_json::object();
        for (const auto& [key, member] : *d) members[key] = propertyJson(member);
        return members;
    }
    // Dates and data have no JSON form of their own: dates as their ISO 8601 text, data as bytes.
    if (const auto* date = value.asDate()) return formatTimestamp(wholeSeconds(*date));
    if (const auto* data = value.asData()) return ordered_json(*data);
    return nullptr;
}

} // namespace qw::sim::world_json
