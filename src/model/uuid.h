#pragma once

#include <functional>
#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qw {

// A 128-bit UUID. Written in the upper-case 8-4-4-4-12 form; read in either case.
class Uuid {
public:
    constexpr Uuid() = default;
    explicit constexpr Uuid(std::array<std::uint8_t, 16> bytes) : bytes_(bytes) {}

    // A fresh random (version 4) UUID.
    static Uuid random();
    // The 8-4-4-4-12 hexadecimal form, either case; nothing else.
    static std::optional<Uuid> parse(std::string_view text);

    std::string string() const; // upper case
    const std::array<std::uint8_t, 16>& bytes() const { return bytes_; }

    auto operator<=>(const Uuid&) const = default;

private:
    std::array<std::uint8_t, 16> bytes_{};
};

} // namespace qw

template <>
struct std::hash<qw::Uuid> {
    std::size_t operator()(const qw::Uuid& u) const noexcept;
};
