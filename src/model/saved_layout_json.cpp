#include "model/saved_layout_json.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

namespace qw {

using nlohmann::json;

namespace {

// ---- Writing ---------------------------------------------------------------------------------------

template <typename T>
void putIfPresent(json& object, const char* name, const std::optional<T>& value) {
    if (value) object[name] = *value;
}

// ---- Reading ---------------------------------------------------------------------------------------
//
// Every reader checks the JSON type before it extracts a value, so nlohmann's throwing accessors are
// never reached with a value of the wrong kind. A reader returns the failure it found, or nothing
// after storing the value in `out`.

using Problem = std::optional<Failure>;

std::string memberPath(const std::string& path, const char* name) {
    return path.empty() ? std::string(name) : path + "." + name;
}

std::string elementPath(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

Failure failureAt(const std::string& path, const std::string& what) {
    return Failure{path.empty() ? what : path + ": " + what};
}

// Integers must be JSON integers (1.0 is not one); the parser keeps non-negative ones as unsigned
// and negative ones as signed, and values beyond 64 bits as floating point, which fails here.
template <typename Int>
Problem decodeInteger(const json& j, const std::string& path, Int& out) {
    const auto outOfRange = [&] {
        return failureAt(path, "expected an integer from " + std::to_string(std::numeric_limits<Int>::min()) +
                                   " to " + std::to_string(std::numeric_limits<Int>::max()));
    };
    if (j.is_number_unsigned()) {
        const auto value = j.get<std::uint64_t>();
        if (value > static_cast<std::uint64_t>(std::numeric_limits<Int>::max())) return outOfRange();
        out = static_cast<Int>(value);
        return std::nullopt;
    }
    if (j.is_number_integer()) {
        const auto value = j.get<std::int64_t>();
        if constexpr (std::numeric_limits<Int>::is_signed) {
            if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
                return outOfRange();
        } else {
            if (value < 0 || static_cast<std::uint64_t>(value) > std::numeric_limits<Int>::max())
                return outOfRange();
        }
        out = static_cast<Int>(value);
        return std::nullopt;
    }
    return failureAt(path, "expected an integer");
}

Problem decode(const json& j, const std::string& path, int& out) { return decodeInteger(j, path, out); }
Problem decode(const json& j, const std::string& path, std::int64_t& out) { return decodeInteger(j, path, out); }
Problem decode(const json& j, const std::string& path, std::uint32_t& out) {
    return decodeInteger(j, path, out);
}

Problem decode(const json& j, const std::string& path, bool& out) {
    if (!j.is_boolean()) return failureAt(path, "expected true or false");
    out = j.get<bool>();
    return std::nullopt;
}

Problem decode(const json& j, const std::string& path, std::string& out) {
    if (!j.is_string()) return failureAt(path, "expected a string");
    out = j.get<std::string>();
    return std::nullopt;
}

Problem decode(const json& j, const std::string& path, Uuid& out) {
    std::optional<Uuid> uuid;
    if (j.is_string()) uuid = Uuid::parse(j.get_ref<const std::string&>());
    if (!uuid) return failureAt(path, "expected a UUID such as 3F2504E0-4F89-41D3-9A0C-0305E82C3301");
    out = *uuid;
    return std::nullopt;
}

Problem decode(const json& j, const std::string& path, Timestamp& out) {
    std::optional<Timestamp> timestamp;
    if (j.is_string()) timestamp = parseTimestamp(j.get_ref<const std::string&>());
    if (!timestamp) return failureAt(path, "expected a date such as 2026-01-31T09:05:00Z");
    out = *timestamp;
    return std::nullopt;
}

Problem decode(const json& j, const std::string& path, Rect& out) {
    const auto pair = [](const json& p, double& a, double& b) {
        if (!p.is_array() || p.size() != 2 || !p[0].is_number() || !p[1].is_number()) return false;
        a = p[0].get<double>();
        b = p[1].get<double>();
        return std::isfinite(a) && std::isfinite(b);
    };
    Rect rect;
    if (!j.is_array() || j.size() != 2 || !pair(j[0], rect.origin.x, rect.origin.y) ||
        !pair(j[1], rect.size.width, rect.size.height))
        return failureAt(path, "expected [[x, y], [width, height]]");
    out = rect;
    return std::nullopt;
}

// Records and lists of records; defined below, after the reader they are built on.
Problem decode(const json& j, const std::string& path, DisplayKey& out);
Problem decode(const json& j, const std::string& path, std::vector<SavedDisplay>& out);
Problem decode(const json& j, const std::string& path, std::vector<SavedWindow>& out);

// Reads the known members of one object, keeping the first failure; later reads do nothing once
// one has failed. Members it is not asked about are ignored.
class ObjectReader {
public:
    ObjectReader(const json& j, const std::string& path) : json_(j), path_(path) {
        if (!j.is_object()) problem_ = failureAt(path, "expected an object");
    }

    template <typename T>
    void required(const char* name, T& out) {
        if (problem_) return;
        const auto it = json_.find(name);
        if (it == json_.end())
            problem_ = failureAt(memberPath(path_, name), "missing");
        else
            problem_ = decode(*it, memberPath(path_, name), out);
    }

    // A missing member leaves the field absent. A member that is present must have the right type:
    // null is not taken for absence, because this file never writes null, so a null is a damaged
    // or foreign value rather than a missing one.
    template <typename T>
    void optional(const char* name, std::optional<T>& out) {
        if (problem_) return;
        const auto it = json_.find(name);
        if (it == json_.end()) {
            out.reset();
            return;
        }
        T value{};
        problem_ = decode(*it, memberPath(path_, name), value);
        if (!problem_) out = std::move(value);
    }

    // As above, for a field whose absence is its default value.
    template <typename T>
    void optional(const char* name, T& out, T whenMissing) {
        std::optional<T> value;
        optional(name, value);
        out = value ? std::move(*value) : std::move(whenMissing);
    }

    const Problem& problem() const { return problem_; }

private:
    const json& json_;
    const std::string& path_;
    Problem problem_;
};

template <typename T>
Result<T> finish(const ObjectReader& reader, T value) {
    if (reader.problem()) return *reader.problem();
    return value;
}

template <typename T>
Problem decodeList(const json& j, const std::string& path, std::vector<T>& out,
                   Result<T> (*decodeElement)(const json&, const std::string&)) {
    if (!j.is_array()) return failureAt(path, "expected an array");
    std::vector<T> values;
    values.reserve(j.size());
    for (std::size_t i = 0; i < j.size(); ++i) {
        auto element = decodeElement(j[i], elementPath(path, i));
        if (!element) return element.failure();
        values.push_back(std::move(element).value());
    }
    out = std::move(values);
    return std::nullopt;
}

Problem decode(const json& j, const std::string& path, DisplayKey& out) {
    auto key = displayKeyFromJson(j, path);
    if (!key) return key.failure();
    out = *key;
    return std::nullopt;
}

Problem decode(const json& j, const std::string& path, std::vector<SavedDisplay>& out) {
    return decodeList(j, path, out, &savedDisplayFromJson);
}

Problem decode(const json& j, const std::string& path, std::vector<SavedWindow>& out) {
    return decodeList(j, path, out, &savedWindowFromJson);
}

} // namespace

json toJson(const DisplayKey& key) {
    return json{{"vendor", key.vendor}, {"model", key.model}, {"serial", key.serial}};
}

json toJson(const Rect& rect) {
    return json::array({json::array({rect.origin.x, rect.origin.y}), json::array({rect.size.width, rect.size.height})});
}

json toJson(const SavedDisplay& display) {
    return json{{"uuid", display.uuid},
                {"key", toJson(display.key)},
                {"name", display.name},
                {"frame", toJson(display.frame)},
                {"visibleFrame", toJson(display.visibleFrame)}};
}

json toJson(const SavedWindow& window) {
    json object{{"appName", window.appName},
                {"title", window.title},
                {"display", window.display},
                {"frame", toJson(window.frame)},
                {"zOrder", window.zOrder}};
    putIfPresent(object, "bundleID", window.bundleID);
    putIfPresent(object, "spaceIndex", window.spaceIndex);
    putIfPresent(object, "appPath", window.appPath);
    // Only an explicit choice is recorded; false and absent mean the same and are both left out.
    if (window.keepsDesktop == true) object["keepsDesktop"] = true;
    putIfPresent(object, "spaceUUID", window.spaceUUID);
    putIfPresent(object, "desktopNumber", window.desktopNumber);
    return object;
}

json toJson(const SavedLayout& layout) {
    json displays = json::array();
    for (const auto& display : layout.displays) displays.push_back(toJson(display));
    json windows = json::array();
    for (const auto& window : layout.windows) windows.push_back(toJson(window));
    return json{{"id", layout.id.string()},
                {"name", layout.name},
                {"created", formatTimestamp(layout.created)},
                {"updated", formatTimestamp(layout.updated)},
                {"displays", std::move(displays)},
                {"windows", std::move(windows)},
                {"autoRestore", layout.autoRestore}};
}

Result<DisplayKey> displayKeyFromJson(const json& j, const std::string& path) {
    ObjectReader in(j, path);
    DisplayKey key;
    in.required("vendor", key.vendor);
    in.required("model", key.model);
    in.required("serial", key.serial);
    return finish(in, key);
}

Result<Rect> rectFromJson(const json& j, const std::string& path) {
    Rect rect;
    if (auto problem = decode(j, path, rect)) return *problem;
    return rect;
}

Result<SavedDisplay> savedDisplayFromJson(const json& j, const std::string& path) {
    ObjectReader in(j, path);
    SavedDisplay display;
    in.required("uuid", display.uuid);
    in.required("key", display.key);
    in.required("name", display.name);
    in.required("frame", display.frame);
    in.required("visibleFrame", display.visibleFrame);
    return finish(in, std::move(display));
}

Result<SavedWindow> savedWindowFromJson(const json& j, const std::string& path) {
    ObjectReader in(j, path);
    SavedWindow window;
    in.optional("bundleID", window.bundleID);
    in.required("appName", window.appName);
    in.required("title", window.title);
    in.required("display", window.display);
    in.required("frame", window.frame);
    in.optional("spaceIndex", window.spaceIndex);
    in.required("zOrder", window.zOrder);
    in.optional("appPath", window.appPath);
    in.optional("keepsDesktop", window.keepsDesktop);
    in.optional("spaceUUID", window.spaceUUID);
    in.optional("desktopNumber", window.desktopNumber);
    // A stored false says no more than a missing member; keeping it absent makes reading and
    // writing agree.
    if (window.keepsDesktop == false) window.keepsDesktop.reset();
    return finish(in, std::move(window));
}

Result<SavedLayout> savedLayoutFromJson(const json& j, const std::string& path) {
    ObjectReader in(j, path);
    SavedLayout layout;
    in.required("id", layout.id);
    in.required("name", layout.name);
    in.required("created", layout.created);
    in.required("updated", layout.updated);
    in.required("displays", layout.displays);
    in.required("windows", layout.windows);
    in.optional("autoRestore", layout.autoRestore, false);
    return finish(in, std::move(layout));
}

} // namespace qw
