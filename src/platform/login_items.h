#pragma once

#include <optional>
#include <string>

namespace qw::platform {

// ServiceManagement's main app service: the app as an item opened at login.
class LoginItems {
public:
    enum class Status { notRegistered, enabled, requiresApproval, notFound };

    virtual ~LoginItems() = default;
    // Each returns the error's localized description, or nothing on success.
    virtual std::optional<std::string> registerMainApp() = 0;
    virtual std::optional<std::string> unregisterMainApp() = 0;
    virtual Status status() = 0;
    virtual void openSystemSettingsLoginItems() = 0;
};

} // namespace qw::platform
