#pragma once

#include <optional>
#include <string>

namespace qw::platform {
class LoginItems;
}

// Quiltwright as an item the system opens at login.
namespace qw::LoginItem {

// Registers or unregisters the app. Nothing on success, otherwise the system's description of the
// error. When the system wants the user's approval first, the Login Items settings are opened and
// the registration counts as done.
std::optional<std::string> set(platform::LoginItems& loginItems, bool enabled);

} // namespace qw::LoginItem
