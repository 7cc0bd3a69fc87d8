#include "system/menu_tracking.h"

namespace qw {

MenuTracking::MenuTracking(platform::NotificationCenter& notifications) : notifications_(notifications) {}

void MenuTracking::start() {
    if (!registrations_.empty()) return;
    namespace N = platform::Notifications;
    registrations_.push_back(
        notifications_.addObserver(N::menuDidBeginTracking, [this](const platform::Notification&) { isOpen_ = true; }));
    registrations_.push_back(
        notifications_.addObserver(N::menuDidEndTracking, [this](const platform::Notification&) { isOpen_ = false; }));
}

} // namespace qw
