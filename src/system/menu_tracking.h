#pragma once

#include "platform/notification_center.h"

#include <vector>

namespace qw {

// Whether a menu of the app is open, so that periodic work can wait while the user is in one.
class MenuTracking {
public:
    explicit MenuTracking(platform::NotificationCenter& notifications);
    MenuTracking(const MenuTracking&) = delete;
    MenuTracking& operator=(const MenuTracking&) = delete;

    // Starts listening for menus opening and closing; later calls do nothing.
    void start();
    bool isOpen() const { return isOpen_; }

private:
    platform::NotificationCenter& notifications_;
    bool isOpen_ = false;
    // Last, so that they end before the state their handlers write.
    std::vector<platform::NotificationCenter::Registration> registrations_;
};

} // namespace qw
