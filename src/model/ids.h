#pragma once

#include <cstdint>

namespace qw {

// Identifier widths as the platform defines them.
using DisplayID = std::uint32_t;
using WindowID = std::uint32_t;
using ProcessID = std::int32_t;
using SpaceID = std::uint64_t;

} // namespace qw
