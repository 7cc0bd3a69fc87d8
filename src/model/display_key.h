#pragma once

#include <functional>
#include <compare>
#include <cstddef>
#include <cstdint>

namespace qw {

// The physical identity of a monitor; unlike the display id it survives reconnection and reboots.
// Ordered lexicographically on (vendor, model, serial), each as an unsigned 32-bit number, so that
// lists of keys can be sorted and compared as multisets.
struct DisplayKey {
    std::uint32_t vendor = 0;
    std::uint32_t model = 0;
    std::uint32_t serial = 0; // 0 when the monitor reports none

    auto operator<=>(const DisplayKey&) const = default;
};

} // namespace qw

template <>
struct std::hash<qw::DisplayKey> {
    std::size_t operator()(const qw::DisplayKey& k) const noexcept;
};
