#pragma once

#include "platform/property_value.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qw::platform {

struct Notification {
    std::string name;
    PropertyValue::Dictionary userInfo;

    bool operator==(const Notification&) const = default;
};

// A notification centre: observers register for a name and are called, on the main loop, for every
// notification of that name posted afterwards. A registration lasts as long as its Registration
// object, so an owner that keeps its registrations as members never outlives them.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    class Registration {
    public:
        Registration() = default;
        Registration(Registration&&) noexcept = default;
        Registration& operator=(Registration&& other) noexcept;
        ~Registration() { cancel(); }
        // Ends the registration now; the handler is not called again.
        void cancel();
        bool isActive() const { return !entry_.expired(); }

    private:
        friend class NotificationCenter;
        struct Entry;
        std::weak_ptr<Entry> entry_;
        std::weak_ptr<std::vector<std::shared_ptr<Entry>>> owner_;
    };

    NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    [[nodiscard]] Registration addObserver(std::string name, Handler handler);
    // Calls every observer of the name now, in registration order. Observers added or removed by a
    // handler take effect from the next post.
    void post(const Notification& notification);
    std::size_t observerCount(std::string_view name) const;

private:
    std::shared_ptr<std::vector<std::shared_ptr<Registration::Entry>>> entries_;
};

// The notifications the system relies on.
namespace Notifications {
// The application's default centre.
inline constexpr const char* screenParametersChanged = "NSApplicationDidChangeScreenParametersNotification";
inline constexpr const char* menuDidBeginTracking = "NSMenuDidBeginTrackingNotification";
inline constexpr const char* menuDidEndTracking = "NSMenuDidEndTrackingNotification";
// The workspace centre. Launch and terminate carry the app's pid under "pid" in userInfo.
inline constexpr const char* activeSpaceDidChange = "NSWorkspaceActiveSpaceDidChangeNotification";
inline constexpr const char* didLaunchApplication = "NSWorkspaceDidLaunchApplicationNotification";
inline constexpr const char* didTerminateApplication = "NSWorkspaceDidTerminateApplicationNotification";
inline constexpr const char* didWake = "NSWorkspaceDidWakeNotification";
inline constexpr const char* screensDidWake = "NSWorkspaceScreensDidWakeNotification";
inline constexpr const char* willSleep = "NSWorkspaceWillSleepNotification";
} // namespace Notifications

} // namespace qw::platform
