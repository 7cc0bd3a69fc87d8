#pragma once

#include "model/ids.h"
#include "model/rect.h"
#include "model/result.h"

#include <string_view>

namespace qw::cli {

// FRAME as the command line takes it: [[x,y],[w,h]] in global points, finite, with a width and
// height that are not negative.
Result<Rect> parseFrame(std::string_view text);

// WINDOW: a window number, decimal, unsigned 32-bit.
Result<WindowID> parseWindowID(std::string_view text);

} // namespace qw::cli
