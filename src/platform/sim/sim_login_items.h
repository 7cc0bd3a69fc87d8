#pragma once

#include "platform/login_items.h"
#include "platform/sim/sim_state.h"

namespace qw::sim {

// ServiceManagement's main app service on the simulated Mac. Registering enables the item, or
// leaves it waiting for the user's approval when the world says the system wants that; a world
// `error` makes registering and unregistering fail with that description.
class SimLoginItems final : public platform::LoginItems {
public:
    explicit SimLoginItems(SimState& state) : state_(state) {}
    std::optional<std::string> registerMainApp() override;
    std::optional<std::string> unregisterMainApp() override;
    Status status() override;
    void openSystemSettingsLoginItems() override;

private:
    SimState& state_;
};

} // namespace qw::sim
