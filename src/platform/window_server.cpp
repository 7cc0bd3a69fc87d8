#include "platform/window_server.h"

namespace qw::platform {

std::optional<Rect> rectFromBoundsDictionary(const PropertyValue& bounds) {
    const auto number = [&](const char* key) -> std::optional<double> {
        const auto* member = bounds.member(key);
        return member ? member->asDouble() : std::nullopt;
    };
    const auto x = number("X"), y = number("Y"), width = number("Width"), height = number("Height");
    if (!x || !y || !width || !height) return std::nullopt;
    return Rect(*x, *y, *width, *height);
}

PropertyValue boundsDictionary(const Rect& rect) {
    return PropertyValue::Dictionary{
        {"X", rect.x()}, {"Y", rect.y()}, {"Width", rect.width()}, {"Height", rect.height()}};
}

} // namespace qw::platform
