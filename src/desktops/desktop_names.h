#pragma once

#include "model/space_info.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace qw::platform {
class UserDefaults;
}

namespace qw {

// The user's own names for ordinary desktops. They are kept in the user defaults rather than in
// layouts, so that a name belongs to the desktop whichever layout is in use.
class DesktopNames {
public:
    // Key -> nickname, as stored under "desktopNames".
    using Nicknames = std::map<std::string, std::string, std::less<>>;

    explicit DesktopNames(platform::UserDefaults& defaults);

    // The desktop's UUID; for a desktop without one, its display's UUID, "#" and its 1-based index,
    // so that the nickname follows the desktop's position on that display.
    static std::string key(const SpaceInfo& space, std::string_view displayUUID);

    // Stores the name, trimmed of white space and line breaks; a name that trims to nothing removes
    // the desktop's nickname.
    void set(std::string_view name, const SpaceInfo& space, std::string_view displayUUID);

    // The nickname of the desktop, if it has one.
    std::optional<std::string> nickname(const SpaceInfo& space, std::string_view displayUUID) const;
    // Every stored nickname. A stored value that is not a dictionary of strings reads as none.
    Nicknames all() const;

private:
    platform::UserDefaults& defaults_;
};

// White space and line breaks (Unicode's, in UTF-8) removed from both ends.
std::string trimmedWhitespaceAndNewlines(std::string_view text);

} // namespace qw
