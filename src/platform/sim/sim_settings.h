#pragma once

#include "platform/preferences.h"
#include "platform/sim/sim_state.h"
#include "platform/user_defaults.h"

namespace qw::sim {

// CFPreferences on the simulated Mac: the world's preference domains, read only.
class SimPreferenceDomains final : public platform::PreferenceDomains {
public:
    explicit SimPreferenceDomains(SimState& state) : state_(state) {}
    bool synchronize(const std::string& domain) override;
    std::optional<platform::PropertyValue> copyValue(const std::string& key, const std::string& domain) override;

private:
    SimState& state_;
};

// The app's user defaults, kept in the world so that what the product stores is written back.
class SimUserDefaults final : public platform::UserDefaults {
public:
    explicit SimUserDefaults(SimState& state) : state_(state) {}
    std::optional<platform::PropertyValue> object(const std::string& key) override;
    void set(const std::string& key, platform::PropertyValue value) override;
    void remove(const std::string& key) override;

private:
    SimState& state_;
};

} // namespace qw::sim
