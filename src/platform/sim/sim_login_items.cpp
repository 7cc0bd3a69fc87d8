#include "platform/sim/sim_login_items.h"

namespace qw::sim {

std::optional<std::string> SimLoginItems::registerMainApp() {
    LoginItem& item = state_.world.loginItem;
    if (item.error) return item.error;
    item.status = item.requiresApproval ? Status::requiresApproval : Status::enabled;
    return std::nullopt;
}

std::optional<std::string> SimLoginItems::unregisterMainApp() {
    LoginItem& item = state_.world.loginItem;
    if (item.error) return item.error;
    item.status = Status::notRegistered;
    return std::nullopt;
}

platform::LoginItems::Status SimLoginItems::status() { return state_.world.loginItem.status; }

void SimLoginItems::openSystemSettingsLoginItems() { ++state_.world.loginItem.settingsOpened; }

} // namespace qw::sim
