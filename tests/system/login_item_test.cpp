#include "system/login_item.h"

#include "platform/login_items.h"
#include "system/simulated_world.h"

#include <gtest/gtest.h>

namespace qw {
namespace {

using testing::SimulatedWorld;
using Status = platform::LoginItems::Status;

TEST(LoginItemTest, EnablingAndDisablingRegistersAndUnregisters) {
    SimulatedWorld world("{}");
    EXPECT_EQ(LoginItem::set(world.platform().loginItems, true), std::nullopt);
    EXPECT_EQ(world.world().loginItem.status, Status::enabled);
    EXPECT_EQ(world.world().loginItem.settingsOpened, 0);
    EXPECT_EQ(LoginItem::set(world.platform().loginItems, false), std::nullopt);
    EXPECT_EQ(world.world().loginItem.status, Status::notRegistered);
}

TEST(LoginItemTest, WaitingForApprovalOpensTheLoginItemsSettingsAndCountsAsDone) {
    SimulatedWorld world(R"({"loginItem": {"requiresApproval": true}})");
    EXPECT_EQ(LoginItem::set(world.platform().loginItems, true), std::nullopt);
    EXPECT_EQ(world.world().loginItem.status, Status::requiresApproval);
    EXPECT_EQ(world.world().loginItem.settingsOpened, 1);
}

TEST(LoginItemTest, AFailureGivesTheSystemsDescription) {
    SimulatedWorld world(R"({"loginItem": {"error": "The operation couldn’t be completed. Operation not permitted"}})");
    EXPECT_EQ(LoginItem::set(world.platform().loginItems, true),
              "The operation couldn’t be completed. Operation not permitted");
    EXPECT_EQ(LoginItem::set(world.platform().loginItems, false),
              "The operation couldn’t be completed. Operation not permitted");
    EXPECT_EQ(world.world().loginItem.settingsOpened, 0);
}

} // namespace
} // namespace qw
