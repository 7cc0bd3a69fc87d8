#pragma once

#include "model/rect.h"
#include "platform/screen_capture.h"

#include <optional>

// Finding a stretch of plain background across a window's title bar in a picture of the window:
// where nothing is drawn but the bar itself, a press holds the window instead of working a control.
namespace qw::PlainBackground {

inline constexpr double leftMargin = 90;     // points kept clear of the window's left edge
inline constexpr double rightMargin = 40;    // and of its right edge
inline constexpr double bandHalfHeight = 3;  // rows above and below that must be plain too
inline constexpr int colourTolerance = 10;   // per channel, of 255
inline constexpr double minimumRun = 60;     // points

// The row's background: its most frequent colour at 5 bits a channel, each channel back at 8 bits.
platform::Picture::Pixel background(const platform::Picture& picture, int row);

// The middle of the longest plain stretch (the leftmost of equally long ones) of the band around
// `rowOffset` points below the window's top edge, in global points; none when the band does not
// fit the picture or no stretch is long enough. `frame` is the window's; the picture's scale is its
// pixel width over the frame's width.
std::optional<Point> spot(const platform::Picture& picture, const Rect& frame, double rowOffset);

} // namespace qw::PlainBackground
