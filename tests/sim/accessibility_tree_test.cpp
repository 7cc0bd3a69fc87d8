#include "platform/accessibility.h"
#include "platform/main_loop.h"
#include "system/simulated_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace qw {
namespace {

using platform::AXAttributeValue;
using platform::AXElement;
using platform::AXError;
using testing::SimulatedWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace Names = platform::AXNames;

// TextEdit (pid 100) has windows 1 and 2 on the shown desktop 11, 3 on desktop 12 and 4 minimized;
// Notes (pid 200) has window 5, partly behind TextEdit's window 1.
constexpr std::string_view twoApps = R"({
  "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11}, {"id": 12}], "currentSpace": 11}],
  "apps": [
    {"name": "TextEdit", "bundleID": "com.apple.TextEdit", "path": "/Applications/TextEdit.app", "running": true, "pid": 100},
    {"name": "Notes", "bundleID": "com.apple.Notes", "path": "/Applications/Notes.app", "running": true, "pid": 200}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "One", "frame": [[100, 100], [400, 300]], "spaces": [11]},
    {"id": 5, "pid": 200, "title": "Five", "frame": [[300, 200], [400, 300]], "spaces": [11]},
    {"id": 2, "pid": 100, "title": "Two", "frame": [[600, 100], [400, 300]], "spaces": [11]},
    {"id": 3, "pid": 100, "title": "Three", "frame": [[100, 100], [400, 300]], "spaces": [12]},
    {"id": 4, "pid": 100, "title": "Four", "frame": [[100, 100], [400, 300]], "spaces": [11], "minimized": true}
  ]
})";

class AccessibilityTreeTest : public ::testing::Test {
protected:
    explicit AccessibilityTreeTest(std::string_view json = twoApps) : world(json), ax(world.platform().accessibility) {}

    std::vector<WindowID> numbers(const AXAttributeValue& list) {
        std::vector<WindowID> ids;
        for (const AXElement& e : std::get<std::vector<AXElement>>(list)) ids.push_back(*ax.windowNumber(e));
        return ids;
    }
    AXElement window(ProcessID pid, WindowID id) {
        const auto windows = std::get<std::vector<AXElement>>(*ax.copyAttributeValue(ax.createApplication(pid), Names::windows));
        for (const AXElement& e : windows)
            if (*ax.windowNumber(e) == id) return e;
        ADD_FAILURE() << "window " << id << " is not exposed";
        return {};
    }
    Rect frameOf(WindowID id) { return sim::findWindow(world.world(), id)->frame; }

    SimulatedWorld world;
    platform::Accessibility& ax;
};

TEST_F(AccessibilityTreeTest, ExposesTheWindowsOnShownDesktopsAndMinimizedOnesAsTheWindowListHasThem) {
    const AXElement textEdit = ax.createApplication(100);
    EXPECT_THAT(numbers(*ax.copyAttributeValue(textEdit, Names::windows)), ElementsAre(1u, 2u, 4u));
    EXPECT_THAT(numbers(*ax.copyAttributeValue(textEdit, Names::children)), ElementsAre(1u, 2u, 4u));
    EXPECT_EQ(*ax.windowNumber(std::get<AXElement>(*ax.copyAttributeValue(textEdit, Names::focusedWindow))), 1u);
    EXPECT_EQ(*ax.windowNumber(std::get<AXElement>(*ax.copyAttributeValue(textEdit, Names::mainWindow))), 1u);

    const AXElement one = window(100, 1);
    EXPECT_EQ(std::get<std::string>(*ax.copyAttributeValue(one, Names::role)), Names::windowRole);
    EXPECT_EQ(std::get<std::string>(*ax.copyAttributeValue(one, Names::title)), "One");
    EXPECT_EQ(std::get<Point>(*ax.copyAttributeValue(one, Names::position)), (Point{100, 100}));
    EXPECT_EQ(std::get<Size>(*ax.copyAttributeValue(one, Names::size)), (Size{400, 300}));
    EXPECT_EQ(std::get<AXElement>(*ax.copyAttributeValue(one, Names::parent)), textEdit);
    EXPECT_EQ(*ax.getPid(one), 100);
    EXPECT_EQ(ax.copyAttributeValue(one, Names::identifier).error(), AXError::attributeUnsupported);

    // Another desktop shown: the lists follow at once; a closed window's element goes stale.
    world.mutableWorld().displays[0].currentSpace = 12;
    EXPECT_THAT(numbers(*ax.copyAttributeValue(textEdit, Names::windows)), ElementsAre(3u, 4u));
    std::erase_if(world.mutableWorld().windows, [](const sim::Window& w) { return w.id == 1; });
    EXPECT_EQ(ax.copyAttributeValue(one, Names::position).error(), AXError::invalidUIElement);
    EXPECT_EQ(ax.windowNumber(one).error(), AXError::invalidUIElement);
}

TEST_F(AccessibilityTreeTest, WritesMoveMinimizeRaiseAndCloseTheWorldsWindows) {
    const AXElement two = window(100, 2);
    EXPECT_EQ(ax.setAttributeValue(two, Names::position, Point{10, 40}), AXError::success);
    EXPECT_EQ(ax.setAttributeValue(two, Names::size, Size{500, 200}), AXError::success);
    EXPECT_EQ(frameOf(2), Rect(10, 40, 500, 200));
    EXPECT_EQ(ax.setAttributeValue(two, Names::position, Size{1, 1}), AXError::illegalArgument);

    EXPECT_THAT(*ax.copyActionNames(two), ElementsAre(Names::raise));
    EXPECT_EQ(ax.performAction(two, Names::raise), AXError::success);
    EXPECT_EQ(world.world().windows.front().id, 2u);

    EXPECT_EQ(ax.setAttributeValue(two, Names::minimized, true), AXError::success);
    EXPECT_TRUE(sim::findWindow(world.world(), 2)->minimized);

    const auto button = std::get<AXElement>(*ax.copyAttributeValue(two, Names::closeButton));
    EXPECT_EQ(std::get<std::string>(*ax.copyAttributeValue(button, Names::subrole)), Names::closeButtonSubrole);
    EXPECT_EQ(ax.performAction(button, Names::raise), AXError::actionUnsupported);
    EXPECT_EQ(ax.performAction(button, Names::press), AXError::success);
    EXPECT_EQ(sim::findWindow(world.world(), 2), nullptr);
}

TEST_F(AccessibilityTreeTest, HitTestingFindsTheFrontmostWindowOrItsCloseButton) {
    const AXElement systemWide = ax.createSystemWide();
    // (350, 250) lies in windows 1 and 5; window 1 is in front.
    EXPECT_EQ(*ax.windowNumber(*ax.copyElementAtPosition(systemWide, {350, 250})), 1u);
    EXPECT_EQ(*ax.windowNumber(*ax.copyElementAtPosition(systemWide, {650, 450})), 5u);
    const auto button = *ax.copyElementAtPosition(systemWide, {100 + 10, 100 + 10});
    EXPECT_EQ(button, std::get<AXElement>(*ax.copyAttributeValue(window(100, 1), Names::closeButton)));
    EXPECT_EQ(ax.copyElementAtPosition(systemWide, {1400, 850}).error(), AXError::noValue);
    // Asked of Notes, the point covered by TextEdit's window shows nothing of Notes.
    EXPECT_EQ(ax.copyElementAtPosition(ax.createApplication(200), {350, 250}).error(), AXError::noValue);
}

TEST_F(AccessibilityTreeTest, WithoutTrustEveryCallFailsWithAPIDisabled) {
    const AXElement one = window(100, 1);
    world.mutableWorld().accessibility = false;
    const AXElement app = ax.createApplication(100);
    EXPECT_EQ(ax.copyAttributeValue(app, Names::windows).error(), AXError::apiDisabled);
    EXPECT_EQ(ax.setAttributeValue(one, Names::position, Point{0, 0}), AXError::apiDisabled);
    EXPECT_EQ(ax.isAttributeSettable(one, Names::size).error(), AXError::apiDisabled);
    EXPECT_EQ(ax.performAction(one, Names::raise), AXError::apiDisabled);
    EXPECT_EQ(ax.copyActionNames(one).error(), AXError::apiDisabled);
    EXPECT_EQ(ax.copyElementAtPosition(ax.createSystemWide(), {350, 250}).error(), AXError::apiDisabled);
    EXPECT_EQ(ax.windowNumber(one).error(), AXError::apiDisabled);
    EXPECT_EQ(ax.getPid(one).error(), AXError::apiDisabled);
    EXPECT_EQ(frameOf(1), Rect(100, 100, 400, 300));
}

TEST_F(AccessibilityTreeTest, AProcessThatIsNotRunningCannotBeReached) {
    EXPECT_EQ(ax.copyAttributeValue(ax.createApplication(4242), Names::windows).error(), AXError::cannotComplete);
}

// ---- App behaviours ----------------------------------------------------------------------------------

std::string behaviourWorld(const std::string& behaviour) {
    return R"({"apps": [{"name": "App", "path": "/Applications/App.app", "running": true, "pid": 100)" +
           (behaviour.empty() ? "" : ", " + behaviour) +
           R"(}], "windows": [{"id": 1, "pid": 100, "frame": [[100, 100], [400, 300]]}]})";
}

struct BehaviourCase {
    std::string behaviour;
    AXError positionResult;
    AXError sizeResult;
    bool sizeSettable;
    Rect landed; // after setting position (50, 60), then size 600 x 500
};

class AppBehaviourTest : public ::testing::TestWithParam<BehaviourCase> {};

TEST_P(AppBehaviourTest, ShapesWhatAMoveAndResizeDo) {
    const BehaviourCase& c = GetParam();
    SimulatedWorld world(behaviourWorld(c.behaviour));
    platform::Accessibility& ax = world.platform().accessibility;
    const auto app = ax.createApplication(100);
    const auto element = std::get<AXElement>(*ax.copyAttributeValue(app, Names::focusedWindow));

    EXPECT_EQ(*ax.isAttributeSettable(element, Names::size), c.sizeSettable);
    EXPECT_EQ(ax.setAttributeValue(element, Names::position, Point{50, 60}), c.positionResult);
    EXPECT_EQ(ax.setAttributeValue(element, Names::size, Size{600, 500}), c.sizeResult);
    EXPECT_EQ(sim::findWindow(world.world(), 1)->frame, c.landed);
}

INSTANTIATE_TEST_SUITE_P(
    Behaviours, AppBehaviourTest,
    ::testing::Values(
        BehaviourCase{"", AXError::success, AXError::success, true, Rect(50, 60, 600, 500)},
        BehaviourCase{R"("refusesMove": -25202)", AXError::invalidUIElement, AXError::success, true,
                      Rect(100, 100, 600, 500)},
        BehaviourCase{R"("offset": [5, -7])", AXError::success, AXError::success, true, Rect(55, 53, 600, 500)},
        BehaviourCase{R"("fixedSize": true)", AXError::success, AXError::attributeUnsupported, false,
                      Rect(50, 60, 400, 300)},
        BehaviourCase{R"("maxSize": [500, 450])", AXError::success, AXError::success, true, Rect(50, 60, 500, 450)},
        BehaviourCase{R"("minSize": [700, 100])", AXError::success, AXError::success, true, Rect(50, 60, 700, 500)},
        // An animated resize is read back halfway.
        BehaviourCase{R"("enhancedUserInterface": true)", AXError::success, AXError::success, true,
                      Rect(50, 60, 500, 400)}));

TEST(AppBehaviourTest, EnhancedUserInterfaceCanBeSwitchedOffForAnExactResize) {
    SimulatedWorld world(behaviourWorld(R"("enhancedUserInterface": true)"));
    platform::Accessibility& ax = world.platform().accessibility;
    const auto app = ax.createApplication(100);
    EXPECT_TRUE(std::get<bool>(*ax.copyAttributeValue(app, Names::enhancedUserInterface)));
    EXPECT_EQ(ax.setAttributeValue(app, Names::enhancedUserInterface, false), AXError::success);
    const auto element = std::get<AXElement>(*ax.copyAttributeValue(app, Names::focusedWindow));
    EXPECT_EQ(ax.setAttributeValue(element, Names::size, Size{600, 500}), AXError::success);
    EXPECT_EQ(sim::findWindow(world.world(), 1)->frame.size, (Size{600, 500}));
    EXPECT_FALSE(world.world().apps[0].behaviour.enhancedUserInterface);
}

TEST(AppBehaviourTest, HiddenWindowsAreReachableOnlyAsTheFocusedWindow) {
    SimulatedWorld world(behaviourWorld(R"("hidesWindows": true)"));
    platform::Accessibility& ax = world.platform().accessibility;
    const auto app = ax.createApplication(100);
    EXPECT_THAT(std::get<std::vector<AXElement>>(*ax.copyAttributeValue(app, Names::windows)), IsEmpty());
    EXPECT_THAT(std::get<std::vector<AXElement>>(*ax.copyAttributeValue(app, Names::children)), IsEmpty());
    EXPECT_EQ(*ax.windowNumber(std::get<AXElement>(*ax.copyAttributeValue(app, Names::focusedWindow))), 1u);
    EXPECT_EQ(ax.copyAttributeValue(app, Names::mainWindow).error(), AXError::noValue);
}

TEST(AppBehaviourTest, AnAppNotRespondingCostsTheMessagingTimeoutOfEachCall) {
    SimulatedWorld world(behaviourWorld(R"("notResponding": true)"));
    platform::Accessibility& ax = world.platform().accessibility;
    const auto app = ax.createApplication(100);

    const Duration start = world.loop().now();
    EXPECT_EQ(ax.copyAttributeValue(app, Names::windows).error(), AXError::cannotComplete);
    EXPECT_EQ(world.loop().now() - start, fromSeconds(platform::Accessibility::defaultMessagingTimeout));

    ASSERT_EQ(ax.setMessagingTimeout(app, 1.0), AXError::success);
    EXPECT_EQ(ax.setAttributeValue(app, Names::enhancedUserInterface, false), AXError::cannotComplete);
    EXPECT_EQ(ax.performAction(AXElement{100, 1}, Names::raise), AXError::cannotComplete);
    EXPECT_EQ(world.loop().now() - start, fromSeconds(6.0 + 2 * 1.0));
}

TEST(AppBehaviourTest, AWindowThatSnapsBackReturnsShortlyAfterABurstOfMoves) {
    SimulatedWorld world(behaviourWorld(R"("snapsBack": true)"));
    world.mac().startTimeline();
    platform::Accessibility& ax = world.platform().accessibility;
    const auto element = std::get<AXElement>(*ax.copyAttributeValue(ax.createApplication(100), Names::focusedWindow));

    EXPECT_EQ(ax.setAttributeValue(element, Names::position, Point{50, 60}), AXError::success);
    EXPECT_EQ(ax.setAttributeValue(element, Names::size, Size{600, 500}), AXError::success);
    world.loop().runFor(fromSeconds(0.4));
    EXPECT_EQ(sim::findWindow(world.world(), 1)->frame, Rect(50, 60, 600, 500));
    world.loop().runFor(fromSeconds(0.2));
    EXPECT_EQ(sim::findWindow(world.world(), 1)->frame, Rect(100, 100, 400, 300));
}

} // namespace
} // namespace qw
