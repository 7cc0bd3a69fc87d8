#include "system/menu_tracking.h"

#include "platform/notification_center.h"

#include <gtest/gtest.h>

#include <memory>

namespace qw {
namespace {

namespace N = platform::Notifications;

TEST(MenuTrackingTest, FollowsMenusOnceStartedAndRegistersOnce) {
    platform::NotificationCenter center;
    auto tracking = std::make_unique<MenuTracking>(center);

    center.post({N::menuDidBeginTracking, {}});
    EXPECT_FALSE(tracking->isOpen()); // not listening yet

    tracking->start();
    tracking->start();
    EXPECT_EQ(center.observerCount(N::menuDidBeginTracking), 1u);
    EXPECT_EQ(center.observerCount(N::menuDidEndTracking), 1u);

    center.post({N::menuDidBeginTracking, {}});
    EXPECT_TRUE(tracking->isOpen());
    center.post({N::menuDidEndTracking, {}});
    EXPECT_FALSE(tracking->isOpen());

    tracking.reset();
    EXPECT_EQ(center.observerCount(N::menuDidBeginTracking), 0u);
    center.post({N::menuDidBeginTracking, {}}); // nothing left to call
}

} // namespace
} // namespace qw
