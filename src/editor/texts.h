#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qw::texts {

// The parts joined with the separator (", " unless told otherwise).
std::string joined(const std::vector<std::string>& parts, std::string_view separator = ", ");
// "1 {noun}", else the count and the noun with an "s" (also for 0).
std::string counted(std::size_t count, std::string_view noun);
// The text with its first character in upper case (ASCII; the texts here start with a verb).
std::string capitalized(std::string text);

} // namespace qw::texts
