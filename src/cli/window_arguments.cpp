#include "cli/window_arguments.h"

#include "cli/text.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>

namespace qw::cli {

namespace {

std::optional<double> finiteNumber(const nlohmann::json& value) {
    if (!value.is_number()) return std::nullopt;
    const double number = value.get<double>();
    return std::isfinite(number) ? std::optional(number) : std::nullopt;
}

// [a,b] of two finite numbers.
std::optional<std::pair<double, double>> pair(const nlohmann::json& value) {
    if (!value.is_array() || value.size() != 2) return std::nullopt;
    const auto first = finiteNumber(value[0]), second = finiteNumber(value[1]);
    if (!first || !second) return std::nullopt;
    return std::pair(*first, *second);
}

} // namespace

Result<Rect> parseFrame(std::string_view text) {
    const Failure wrongShape{"FRAME must be [[x,y],[w,h]] in points, got " + quote(text)};
    const auto json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_array() || json.size() != 2) return wrongShape;
    const auto origin = pair(json[0]), size = pair(json[1]);
    if (!origin || !size) return wrongShape;
    if (size->first < 0 || size->second < 0) return Failure{"FRAME has a negative width or height: " + quote(text)};
    return Rect(origin->first, origin->second, size->first, size->second);
}

Result<WindowID> parseWindowID(std::string_view text) {
    WindowID id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return Failure{"WINDOW must be a window number, got " + quote(text)};
    return id;
}

} // namespace qw::cli
