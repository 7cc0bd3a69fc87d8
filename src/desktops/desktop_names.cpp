#include "desktops/desktop_names.h"

#include "platform/property_value.h"
#include "platform/user_defaults.h"

#include <array>
#include <cstdint>

namespace qw {

using platform::PropertyValue;

namespace {

// Foundation's white space and newlines: Unicode's space, line and paragraph separators, tab to
// carriage return, and next line.
bool isWhitespaceOrNewline(char32_t c) {
    if (c >= 0x09 && c <= 0x0D) return true;
    if (c >= 0x2000 && c <= 0x200A) return true;
    constexpr std::array<char32_t, 9> others{0x20, 0x85, 0xA0, 0x1680, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000};
    for (const char32_t other : others)
        if (c == other) return true;
    return false;
}

// The length in bytes of the UTF-8 sequence led by `lead`; 0 for a byte that cannot lead one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

// The code point of the well-formed sequence at `text[at, at + length)`, or nothing.
std::optional<char32_t> decode(std::string_view text, std::size_t at, std::size_t length) {
    if (length == 0 || at + length > text.size()) return std::nullopt;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    if (length == 1) return byte(0);
    char32_t c = byte(0) & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    return c;
}

} // namespace

std::string trimmedWhitespaceAndNewlines(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const auto length = sequenceLength(static_cast<unsigned char>(text[begin]));
        const auto c = decode(text, begin, length);
        if (!c || !isWhitespaceOrNewline(*c)) break;
        begin += length;
    }
    std::size_t end = text.size();
    while (end > begin) {
        // Step back over continuation bytes to the lead byte of the last sequence.
        std::size_t lead = end - 1;
        while (lead > begin && (static_cast<unsigned char>(text[lead]) & 0xC0) == 0x80) --lead;
        const auto length = end - lead;
        if (sequenceLength(static_cast<unsigned char>(text[lead])) != length) break;
        const auto c = decode(text, lead, length);
        if (!c || !isWhitespaceOrNewline(*c)) break;
        end = lead;
    }
    return std::string(text.substr(begin, end - begin));
}

DesktopNames::DesktopNames(platform::UserDefaults& defaults) : defaults_(defaults) {}

std::string DesktopNames::key(const SpaceInfo& space, std::string_view displayUUID) {
    if (!space.uuid.empty()) return space.uuid;
    return std::string(displayUUID) + "#" + std::to_string(space.index);
}

DesktopNames::Nicknames DesktopNames::all() const {
    const auto stored = defaults_.object(platform::DefaultsKeys::desktopNames);
    const auto* dictionary = stored ? stored->asDictionary() : nullptr;
    if (!dictionary) return {};
    Nicknames nicknames;
    for (const auto& [key, value] : *dictionary) {
        // One value of another type makes the whole value unreadable, as a typed read would.
        const auto* name = value.asString();
        if (!name) return {};
        nicknames.emplace(key, *name);
    }
    return nicknames;
}

std::optional<std::string> DesktopNames::nickname(const SpaceInfo& space, std::string_view displayUUID) const {
    const auto nicknames = all();
    const auto it = nicknames.find(key(space, displayUUID));
    if (it == nicknames.end()) return std::nullopt;
    return it->second;
}

void DesktopNames::set(std::string_view name, const SpaceInfo& space, std::string_view displayUUID) {
    auto nicknames = all();
    const auto trimmed = trimmedWhitespaceAndNewlines(name);
    if (trimmed.empty())
        nicknames.erase(key(space, displayUUID));
    else
        nicknames.insert_or_assign(key(space, displayUUID), trimmed);

    PropertyValue::Dictionary stored;
    for (auto& [key, value] : nicknames) stored.emplace(key, PropertyValue(std::move(value)));
    defaults_.set(platform::DefaultsKeys::desktopNames, PropertyValue(std::move(stored)));
}

} // namespace qw
