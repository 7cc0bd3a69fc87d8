#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace qw {

// A wall-clock instant in whole seconds, which is all the layouts file can hold.
using Timestamp = std::chrono::sys_seconds;

// The current time rounded down to the whole second, for stamping saved layouts.
Timestamp wholeSeconds(std::chrono::system_clock::time_point t);

// "2026-01-31T09:05:00Z": an ISO 8601 internet date-time in UTC with whole seconds.
std::string formatTimestamp(Timestamp t);
// Accepts exactly the form formatTimestamp writes, with a valid calendar date and time.
std::optional<Timestamp> parseTimestamp(std::string_view text);

} // namespace qw
