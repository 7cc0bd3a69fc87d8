#include "editor/texts.h"

#include <cctype>

namespace qw::texts {

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string text;
    for (const auto& part : parts) {
        if (!text.empty() || &part != &parts.front()) text += separator;
        text += part;
    }
    return text;
}

std::string counted(std::size_t count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

std::string capitalized(std::string text) {
    if (!text.empty()) text.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(text.front())));
    return text;
}

} // namespace qw::texts
