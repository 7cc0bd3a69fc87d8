#include "system/login_item.h"

#include "platform/login_items.h"

namespace qw::LoginItem {

std::optional<std::string> set(platform::LoginItems& loginItems, bool enabled) {
    if (!enabled) return loginItems.unregisterMainApp();
    if (auto error = loginItems.registerMainApp()) return error;
    if (loginItems.status() == platform::LoginItems::Status::requiresApproval) loginItems.openSystemSettingsLoginItems();
    return std::nullopt;
}

} // namespace qw::LoginItem
