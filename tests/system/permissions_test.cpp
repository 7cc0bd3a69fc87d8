#include "system/permissions.h"

#include "system/simulated_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qw {
namespace {

using platform::PropertyValue;
using testing::SimulatedWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(PermissionsTest, ReadsTheSystemsStateAtOnce) {
    SimulatedWorld world(R"({"accessibility": false, "screenRecording": true})");
    const Permissions permissions(world.platform());
    EXPECT_FALSE(permissions.accessibility());
    EXPECT_TRUE(permissions.screenRecording());
    EXPECT_TRUE(permissions.rearrangesSpaces());
}

TEST(PermissionsTest, RearrangingSpacesIsOnUnlessTheDockSaysFalse) {
    const std::pair<const char*, bool> cases[] = {
        {R"({})", true},                                                      // nothing stored: the system's default
        {R"({"preferences": {"com.apple.dock": {"mru-spaces": false}}})", false},
        {R"({"preferences": {"com.apple.dock": {"mru-spaces": true}}})", true},
        {R"({"preferences": {"com.apple.dock": {"mru-spaces": 0}}})", true},  // not a Boolean
        {R"({"preferences": {"com.apple.dock": {"autohide": true}}})", true},
    };
    for (const auto& [json, expected] : cases) {
        SimulatedWorld world(json);
        EXPECT_EQ(Permissions(world.platform()).rearrangesSpaces(), expected) << json;
    }
}

TEST(PermissionsTest, ObserversHearOnlyOfValuesThatChanged) {
    SimulatedWorld world(R"({"accessibility": false})");
    Permissions permissions(world.platform());
    std::vector<std::string> heard;
    const auto a = permissions.observeAccessibility([&](bool v) { heard.push_back(v ? "ax on" : "ax off"); });
    const auto s = permissions.observeScreenRecording([&](bool v) { heard.push_back(v ? "sr on" : "sr off"); });
    const auto r = permissions.observeRearrangesSpaces([&](bool v) { heard.push_back(v ? "mru on" : "mru off"); });

    permissions.check();
    EXPECT_THAT(heard, IsEmpty());

    world.mutableWorld().accessibility = true;
    world.mutableWorld().preferences["com.apple.dock"]["mru-spaces"] = false;
    permissions.check();
    EXPECT_THAT(heard, ElementsAre("ax on", "mru off"));
    EXPECT_TRUE(permissions.accessibility());
    EXPECT_FALSE(permissions.rearrangesSpaces());
}

TEST(PermissionsTest, AskingShowsThePromptAndThePaneButChangesNothingUntilTheNextCheck) {
    SimulatedWorld world(R"({"accessibility": false, "screenRecording": false})");
    Permissions permissions(world.platform());

    permissions.requestAccessibility();
    permissions.requestScreenRecording();
    EXPECT_EQ(world.world().accessibilityPrompts, 1);
    EXPECT_EQ(world.world().screenCaptureRequests, 1);
    EXPECT_THAT(world.world().openedURLs,
                ElementsAre("x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility",
                            "x-apple.systempreferences:com.apple.preference.security?Privacy_ScreenCapture"));

    world.mutableWorld().accessibility = true; // the user grants it in the settings
    EXPECT_FALSE(permissions.accessibility());
    permissions.check();
    EXPECT_TRUE(permissions.accessibility());
}

TEST(PermissionsTest, OpensSettingsOnlyForValidURLs) {
    SimulatedWorld world("{}");
    Permissions permissions(world.platform());
    permissions.open("Privacy_Camera");
    permissions.open("Privacy Camera");
    permissions.open("Privacy_\nCamera");
    permissions.open("Privacy_%zz");
    permissions.open("Privacy_%41");
    permissions.open("Privacy_Kamera\xC3\xA4");
    permissions.openDesktopAndDockSettings();
    EXPECT_THAT(world.world().openedURLs,
                ElementsAre("x-apple.systempreferences:com.apple.preference.security?Privacy_Camera",
                            "x-apple.systempreferences:com.apple.preference.security?Privacy_%41",
                            "x-apple.systempreferences:com.apple.Desktop-Settings.extension"));
}

TEST(PermissionsTest, AValidURLHasASchemeAndOnlyURLCharacters) {
    EXPECT_TRUE(isValidURL("https://example.com/a?b=c#d"));
    EXPECT_TRUE(isValidURL("x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"));
    EXPECT_FALSE(isValidURL(""));
    EXPECT_FALSE(isValidURL("no scheme"));
    EXPECT_FALSE(isValidURL(":nothing-before"));
    EXPECT_FALSE(isValidURL("1http:x"));
    EXPECT_FALSE(isValidURL("ht tp:x"));
    EXPECT_FALSE(isValidURL("http:x<y>"));
    EXPECT_FALSE(isValidURL("http:x%4"));
}

} // namespace
} // namespace qw
