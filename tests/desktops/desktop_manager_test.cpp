#include "desktops/desktop_manager.h"

#include "desktops/desktop_world.h"
#include "desktops/space_mover.h"
#include "platform/input.h"
#include "platform/sim/sim_mission_control.h"

#include <gtest/gtest.h>

#include <ostream>

namespace qw::DesktopManager {
void PrintTo(const Added& a, std::ostream* os) { *os << "added(" << a.space.id << " " << a.space.name << ")"; }
void PrintTo(const Failed& f, std::ostream* os) { *os << "failed(\"" << f.sentence << "\")"; }
void PrintTo(const Removed&, std::ostream* os) { *os << "removed"; }
} // namespace qw::DesktopManager

namespace qw {
namespace {

using DesktopManager::Added;
using DesktopManager::Failed;
using DesktopManager::Outcome;
using DesktopManager::Removed;
using testing::DesktopWorld;

// The external display is listed first and lies left of the main one, so Mission Control's first
// bar is not the main display's.
constexpr std::string_view twoDisplays = R"({
  "displays": [
    {"id": 2, "uuid": "EXT", "name": "Studio Display", "frame": [[-1920, 0], [1920, 1080]],
     "spaces": [{"id": 21}, {"id": 22}]},
    {"id": 1, "uuid": "MAIN", "name": "Built-in Display", "main": true, "frame": [[0, 0], [1440, 900]],
     "spaces": [{"id": 11}, {"id": 12}, {"id": 13}], "currentSpace": 12}
  ],
  "apps": [{"name": "Notes", "path": "/Applications/Notes.app", "running": true, "pid": 100}],
  "windows": [
    {"id": 1, "pid": 100, "title": "On 12", "frame": [[100, 100], [600, 400]], "spaces": [12]},
    {"id": 2, "pid": 100, "title": "On 13", "frame": [[100, 100], [600, 400]], "spaces": [13]}
  ]
})";

class DesktopManagerTest : public ::testing::Test {
protected:
    DisplayInfo main() { return *world.displayInfo("MAIN"); }
    Task<Outcome> add() { return DesktopManager::addDesktop(world.platform(), main(), world.inventory); }
    Task<Outcome> remove(SpaceID id, std::string name) {
        return DesktopManager::removeDesktop(world.platform(), id, std::move(name), main(), world.inventory);
    }
    int escapes() {
        int n = 0;
        for (const auto& e : world.input().posted())
            if (const auto* k = std::get_if<platform::KeyEvent>(&e); k && k->down && k->keyCode == 53) ++n;
        return n;
    }
    bool missionControlShows() { return world.world.mac().missionControl().isOpen(); }

    DesktopWorld world{twoDisplays};
};

TEST_F(DesktopManagerTest, AddsADesktopToTheRequestedDisplayAndFindsItWhenItShowsUp) {
    const Outcome outcome = world.run(add());
    ASSERT_TRUE(std::holds_alternative<Added>(outcome)) << ::testing::PrintToString(outcome);
    const SpaceInfo& space = std::get<Added>(outcome).space;
    EXPECT_EQ(space.index, 4);
    EXPECT_EQ(space.name, "Desktop 6");
    EXPECT_EQ(world.display(1).spaces.size(), 4u) << "on the main display";
    EXPECT_EQ(world.display(0).spaces.size(), 2u) << "not on the first bar's display";
    EXPECT_EQ(escapes(), 1);
    EXPECT_FALSE(missionControlShows());
    // The change shows a moment after the press; twenty checks would have taken three seconds.
    EXPECT_LT(world.loop().now(), std::chrono::seconds(2));
}

TEST_F(DesktopManagerTest, RemovesADesktopWhoseWindowsGoToTheOneBefore) {
    EXPECT_EQ(world.run(remove(13, "Desktop 5")), Outcome{Removed{}});
    EXPECT_EQ(world.display(1).spaces.size(), 2u);
    EXPECT_EQ(world.window(2).spaces, std::vector<SpaceID>{12});
    EXPECT_FALSE(missionControlShows());
}

TEST_F(DesktopManagerTest, ADesktopMissionControlDoesNotListIsNotOffered) {
    EXPECT_EQ(world.run(remove(13, "Desktop 9")), Outcome{Failed{"Mission Control didn't offer to remove Desktop 9"}});
    EXPECT_EQ(escapes(), 1) << "opened, then closed";
    EXPECT_FALSE(missionControlShows());
    EXPECT_EQ(world.display(1).spaces.size(), 3u);
}

TEST_F(DesktopManagerTest, ARequestWhileOneRunsIsRefusedAndLeavesItAlone) {
    TaskHandle<Outcome> first = world.loop().spawn(add());
    world.loop().runFor(std::chrono::milliseconds(200));
    EXPECT_EQ(world.run(remove(13, "Desktop 5")), Outcome{Failed{"Mission Control is still busy with the last request"}});
    ASSERT_TRUE(first.isDone());
    EXPECT_TRUE(std::holds_alternative<Added>(*first.result()));
    EXPECT_EQ(world.display(1).spaces.size(), 4u);
}

TEST_F(DesktopManagerTest, FailsWithoutTrustOrWithoutMissionControlsBar) {
    world.world.mutableWorld().accessibility = false;
    EXPECT_EQ(world.run(add()), Outcome{Failed{"Accessibility permission is off"}});
    EXPECT_EQ(escapes(), 0);

    world.world.mutableWorld().accessibility = true;
    DisplayInfo gone = main();
    gone.frame = Rect(5000, 5000, 100, 100); // where no bar shows
    gone.name = "Projector";
    EXPECT_EQ(world.run(DesktopManager::addDesktop(world.platform(), gone, world.inventory)),
              Outcome{Failed{"Couldn't find Mission Control's desktop bar for Projector"}});
    EXPECT_EQ(escapes(), 1);
}

TEST_F(DesktopManagerTest, WaitsForAWindowBeingCarriedToArriveBeforeOpeningMissionControl) {
    world.input().warpPointer({700, 700});
    TaskHandle<SpaceMover::Outcome> carry = world.loop().spawn(
        SpaceMover::move(world.platform(), world.skyLight, world.windowInfo(1), 3, world.inventory));
    world.loop().runFor(std::chrono::milliseconds(1500));
    ASSERT_TRUE(world.input().heldWindow());
    TaskHandle<Outcome> adding = world.loop().spawn(add());
    world.loop().run();
    EXPECT_EQ(*carry.result(), SpaceMover::Outcome{SpaceMover::Moved{3}});
    EXPECT_EQ(world.window(1).spaces, std::vector<SpaceID>{13});
    EXPECT_TRUE(std::holds_alternative<Added>(*adding.result()));
}

} // namespace
} // namespace qw
