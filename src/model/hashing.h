#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace qw {

// Mixes one more value into a running hash (the boost recipe, widened to 64 bits).
inline void hashCombine(std::size_t& seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

template <typename T>
std::size_t hashOf(const T& value) {
    return std::hash<T>{}(value);
}

template <typename T>
std::size_t hashOf(const std::optional<T>& value) {
    return value ? hashOf(*value) ^ 0x5bd1e995ULL : 0;
}

template <typename T>
std::size_t hashOf(const std::vector<T>& values) {
    std::size_t seed = values.size();
    for (const auto& v : values) hashCombine(seed, hashOf(v));
    return seed;
}

// The hash of several fields, in the order given.
template <typename... Ts>
std::size_t hashValues(const Ts&... values) {
    std::size_t seed = 0;
    (hashCombine(seed, hashOf(values)), ...);
    return seed;
}

} // namespace qw
