#pragma once

#include "platform/screen_capture.h"
#include "platform/sim/sim_title_bar.h"

namespace qw::sim {

// How windows look on the simulated Mac: a light body under a title bar whose elements are drawn
// where the app's `titleBar` puts them, each role in a colour of its own, so that a search for plain
// title-bar background meets the app's controls where they are.
namespace WindowPictures {

struct Colour {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Colour&) const = default;
};

inline constexpr Colour body{246, 246, 246};
inline constexpr Colour titleBar{234, 234, 234};

// The colour an element of that role is drawn in. Toolbars and groups are shades of the bar; web
// content is white; controls and text are dark enough to stand out from any of those.
Colour colourOf(const std::string& role);

// A picture of a window `size` points large drawn at `width` × `height` pixels (the scale may
// differ from 1 and between the axes), fully opaque, top row first.
platform::Picture draw(const TitleBarLayout& layout, Size size, int width, int height);

} // namespace WindowPictures

} // namespace qw::sim
