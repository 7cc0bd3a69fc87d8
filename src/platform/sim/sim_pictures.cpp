#include "platform/sim/sim_pictures.h"

#include <algorithm>
#include <functional>

namespace qw::sim::WindowPictures {

Colour colourOf(const std::string& role) {
    if (role == "AXToolbar") return Colour{222, 222, 222};
    if (role == "AXGroup") return Colour{208, 210, 214};
    if (role == "AXWebArea") return Colour{255, 255, 255};
    if (role == "AXStaticText") return Colour{48, 48, 48};
    if (role == "AXButton") return Colour{112, 112, 118};
    // Anything else, a shade no other role has, dark enough to stand out from the bar.
    const std::size_t h = std::hash<std::string>{}(role);
    return Colour{static_cast<std::uint8_t>(60 + h % 100), static_cast<std::uint8_t>(60 + (h >> 8) % 100),
                  static_cast<std::uint8_t>(60 + (h >> 16) % 100)};
}

platform::Picture draw(const TitleBarLayout& layout, Size size, int width, int height) {
    platform::Picture picture;
    if (width <= 0 || height <= 0 || !(size.width > 0) || !(size.height > 0)) return picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);

    const double scaleX = width / size.width, scaleY = height / size.height;
    std::vector<Colour> elementColours;
    for (const TitleBarElement& e : layout.elements()) elementColours.push_back(colourOf(e.role));

    for (int y = 0; y < height; ++y) {
        // Each pixel shows what lies under its centre.
        const double pointY = (y + 0.5) / scaleY;
        const bool inBar = pointY < layout.height();
        for (int x = 0; x < width; ++x) {
            Colour c = inBar ? titleBar : body;
            if (inBar) {
                if (auto element = layout.elementAt(Point{(x + 0.5) / scaleX, pointY})) c = elementColours[*element];
            }
            const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
            picture.rgba[i] = c.red;
            picture.rgba[i + 1] = c.green;
            picture.rgba[i + 2] = c.blue;
            picture.rgba[i + 3] = 255;
        }
    }
    return picture;
}

} // namespace qw::sim::WindowPictures
