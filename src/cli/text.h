#pragma once

#include "model/rect.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace qw::cli {

// Outside text (a layout's name, an argument) made safe for a terminal: control characters are
// shown as escapes such as \n or \x1B instead of being sent to it.
std::string printable(std::string_view text);

// The text in curly quotes, made printable: “Work”.
std::string quote(std::string_view text);

// "1 window", "0 windows", "2 windows": the singular only for exactly one.
std::string count(std::size_t number, std::string_view singular);

// A number as people write it: whole numbers without a fraction, others with up to six digits.
std::string numberText(double value);

// A rectangle as the command line takes and shows frames: [[x,y],[w,h]].
std::string frameText(const Rect& frame);

// Well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates or code points
// beyond U+10FFFF.
bool isValidUtf8(std::string_view text);

} // namespace qw::cli
