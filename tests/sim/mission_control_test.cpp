#include "platform/sim/sim_mission_control.h"

#include "platform/accessibility.h"
#include "platform/input.h"
#include "platform/workspace.h"
#include "system/simulated_world.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qw {
namespace {

using platform::AXElement;
using testing::SimulatedWorld;
namespace N = platform::AXNames;

constexpr std::string_view world = R"({
  "displays": [
    {"id": 1, "uuid": "A", "main": true, "frame": [[0, 0], [1440, 900]],
     "spaces": [{"id": 11}, {"id": 12}, {"id": 13, "fullscreen": true, "pid": 100}]},
    {"id": 2, "uuid": "B", "frame": [[1440, 0], [1920, 1080]], "spaces": [{"id": 21}, {"id": 22}], "currentSpace": 21}
  ],
  "apps": [{"name": "Keynote", "path": "/Applications/Keynote.app", "running": true, "pid": 100}],
  "windows": [{"id": 1, "pid": 100, "frame": [[1500, 100], [600, 400]], "spaces": [21]},
              {"id": 2, "pid": 100, "frame": [[0, 0], [1440, 900]], "spaces": [13]}]
})";

class MissionControlTest : public ::testing::Test {
protected:
    std::vector<AXElement> children(const AXElement& e) {
        const auto value = ax().copyAttributeValue(e, N::children);
        return value ? std::get<std::vector<AXElement>>(*value) : std::vector<AXElement>{};
    }
    std::string text(const AXElement& e, const char* attribute) {
        const auto value = ax().copyAttributeValue(e, attribute);
        return value ? std::get<std::string>(*value) : "";
    }
    platform::Accessibility& ax() { return mac.platform().accessibility; }
    AXElement windowManager() {
        for (const auto& app : mac.platform().workspace.runningApplications())
            if (app.bundleIdentifier == "com.apple.WindowManager") return ax().createApplication(app.pid);
        ADD_FAILURE() << "the window manager is not running";
        return {};
    }
    void open() {
        mac.platform().workspace.openApplication(sim::SimMissionControl::appPath, {}, [](const auto&) {});
        mac.loop().runFor(sim::SimMissionControl::openingTime);
    }

    SimulatedWorld mac{world};
};

TEST_F(MissionControlTest, ShowsABarPerDisplayWhileOpenAndNothingOnceEscaped) {
    const AXElement wm = windowManager();
    EXPECT_TRUE(children(wm).empty());
    open();
    const auto groups = children(wm);
    ASSERT_EQ(groups.size(), 2u);
    for (std::size_t d = 0; d < 2; ++d) {
        EXPECT_EQ(text(groups[d], N::identifier), "mc.display");
        const auto bar = children(groups[d]).at(0);
        EXPECT_EQ(text(bar, N::identifier), "mc.spaces");
        const auto position = std::get<Point>(*ax().copyAttributeValue(bar, N::position));
        EXPECT_EQ(position, mac.world().displays[d].frame.origin);
        const auto parts = children(bar);
        ASSERT_EQ(parts.size(), 2u);
        EXPECT_EQ(text(parts[0], N::identifier), "mc.spaces.add");
        EXPECT_EQ(text(parts[1], N::role), N::listRole);
    }
    // Titles as Mission Control shows them: desktops numbered across displays, full-screen apps by name.
    std::vector<std::string> titles;
    for (const auto& group : groups)
        for (const auto& desktop : children(children(children(group)[0])[1])) titles.push_back(text(desktop, N::title));
    EXPECT_EQ(titles, (std::vector<std::string>{"Desktop 1", "Desktop 2", "Keynote", "Desktop 3", "Desktop 4"}));

    mac.platform().input.post(platform::KeyEvent{platform::KeyCodes::escape, true, 0});
    EXPECT_TRUE(children(wm).empty());
    EXPECT_EQ(ax().copyAttributeValue(groups[0], N::children).error(), platform::AXError::invalidUIElement);
}

TEST_F(MissionControlTest, RemovingTheFirstDesktopMovesItsWindowsToTheNextAndShowsIt) {
    open();
    const auto listB = children(children(children(windowManager())[1])[0])[1];
    const auto first = children(listB)[0];
    EXPECT_EQ(ax().performAction(first, N::removeDesktop), platform::AXError::success);
    EXPECT_EQ(mac.world().displays[1].spaces.size(), 2u) << "it takes a moment";
    mac.loop().runFor(sim::SimMissionControl::changeTime);
    ASSERT_EQ(mac.world().displays[1].spaces.size(), 1u);
    EXPECT_EQ(mac.world().displays[1].currentSpace, 22u);
    EXPECT_EQ(sim::findWindow(mac.world(), 1)->spaces, std::vector<SpaceID>{22});

    // The last desktop of a display stays, and a full-screen space is not removed this way.
    EXPECT_EQ(ax().performAction(children(listB)[0], N::removeDesktop), platform::AXError::success);
    mac.loop().runFor(sim::SimMissionControl::changeTime);
    EXPECT_EQ(mac.world().displays[1].spaces.size(), 1u);
    const auto listA = children(children(children(windowManager())[0])[0])[1];
    EXPECT_EQ(ax().performAction(children(listA)[2], N::removeDesktop), platform::AXError::actionUnsupported);
}

} // namespace
} // namespace qw
