#include "platform/sim/sim_pictures.h"
#include "platform/sim/sim_screen_capture.h"

#include "platform/screen_capture.h"
#include "system/simulated_world.h"

#include <gtest/gtest.h>

namespace qw {
namespace {

using platform::Picture;
using sim::WindowPictures::Colour;
using testing::SimulatedWorld;

Colour colourAt(const Picture& picture, int x, int y) {
    const Picture::Pixel p = picture.at(x, y);
    return Colour{p.red, p.green, p.blue};
}

constexpr std::string_view captureWorld = R"({
  "displays": [{"id": 1, "uuid": "D1", "main": true, "frame": [[0, 0], [1440, 900]],
                "spaces": [{"id": 11}, {"id": 12}], "currentSpace": 11}],
  "apps": [
    {"name": "Editor", "path": "/Applications/Editor.app", "running": true, "pid": 100,
     "titleBar": [{"role": "AXToolbar", "frame": [[0, 0], [400, 40]]},
                  {"role": "AXButton", "frame": [[200, 8], [30, 24]], "actions": ["AXPress"]}]}
  ],
  "windows": [
    {"id": 1, "pid": 100, "title": "Shown", "frame": [[100, 100], [400, 300]], "spaces": [11]},
    {"id": 2, "pid": 100, "title": "Elsewhere", "frame": [[100, 100], [400, 300]], "spaces": [12]},
    {"id": 3, "pid": 100, "title": "Minimized", "frame": [[100, 100], [400, 300]], "spaces": [11], "minimized": true}
  ]
})";

template <typename T>
T await(SimulatedWorld& world, Task<T> task) {
    TaskHandle<T> handle = world.loop().spawn(std::move(task));
    world.loop().run();
    EXPECT_TRUE(handle.isDone());
    return handle.isDone() ? *handle.result() : T{};
}

TEST(WindowPictures, DrawTheTitleBarElementsWhereTheAppLaysThemOut) {
    const sim::TitleBarLayout layout({{"AXToolbar", Rect(0, 0, 400, 40), {}},
                                      {"AXButton", Rect(200, 8, 30, 24), {"AXPress"}}});
    for (const int scale : {1, 2}) {
        const Picture picture = sim::WindowPictures::draw(layout, Size{400, 300}, 400 * scale, 300 * scale);
        ASSERT_EQ(picture.width, 400 * scale);
        ASSERT_EQ(picture.rgba.size(), static_cast<std::size_t>(400 * 300 * 4 * scale * scale));
        const auto at = [&](double x, double y) { return colourAt(picture, static_cast<int>(x * scale), static_cast<int>(y * scale)); };
        EXPECT_EQ(at(100, 10), sim::WindowPictures::colourOf("AXToolbar")) << scale;
        EXPECT_EQ(at(215, 10), sim::WindowPictures::colourOf("AXButton")) << scale;
        EXPECT_EQ(at(199, 10), sim::WindowPictures::colourOf("AXToolbar")) << scale;
        EXPECT_EQ(at(230, 10), sim::WindowPictures::colourOf("AXToolbar")) << "the button ends at 230; " << scale;
        EXPECT_EQ(at(100, 200), sim::WindowPictures::body) << scale;
        EXPECT_EQ(picture.at(0, 0).alpha, 255);
    }
}

TEST(WindowPictures, APlainTitleBarShowsItsWindowButtonsAndNothingElse) {
    const sim::TitleBarLayout plain(sim::TitleBarLayout::plainElements());
    const Picture picture = sim::WindowPictures::draw(plain, Size{300, 200}, 300, 200);
    EXPECT_EQ(colourAt(picture, 14, 14), sim::WindowPictures::colourOf("AXButton"));
    for (int x = 70; x < 300; x += 10) EXPECT_EQ(colourAt(picture, x, 14), sim::WindowPictures::titleBar) << x;
    EXPECT_EQ(colourAt(picture, 150, 28), sim::WindowPictures::body);
}

TEST(SimScreenCapture, ListsOnScreenWindowsAndPicturesAnyDesktopsWindowsOnWorldTime) {
    SimulatedWorld world(captureWorld);
    auto& capture = world.platform().screenCapture;
    const Duration start = world.loop().now();

    const auto listed = await(world, capture.shareableWindows({}));
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->size(), 1u);
    EXPECT_EQ((*listed)[0].windowID, 1u);
    EXPECT_EQ(await(world, capture.shareableWindows({.excludingDesktopWindows = true, .onScreenWindowsOnly = false}))->size(), 3u);

    const auto picture = await(world, capture.capture(2, {.width = 400, .height = 300}));
    ASSERT_TRUE(picture);
    EXPECT_EQ(colourAt(*picture, 215, 10), sim::WindowPictures::colourOf("AXButton"));
    EXPECT_FALSE(await(world, capture.capture(3, {.width = 400, .height = 300}))) << "minimized";
    EXPECT_FALSE(await(world, capture.capture(99, {.width = 400, .height = 300}))) << "no such window";
    EXPECT_GT(world.loop().now(), start) << "the system takes a moment of world time";
}

TEST(SimScreenCapture, RefusesEverythingWithoutThePermission) {
    SimulatedWorld world(captureWorld);
    world.mutableWorld().screenRecording = false;
    auto& capture = world.platform().screenCapture;
    EXPECT_FALSE(capture.preflightAccess());
    EXPECT_FALSE(await(world, capture.shareableWindows({})));
    EXPECT_FALSE(await(world, capture.capture(1, {.width = 400, .height = 300})));
    EXPECT_EQ(world.world().screenCaptureRequests, 0);
    EXPECT_FALSE(capture.requestAccess());
    EXPECT_EQ(world.world().screenCaptureRequests, 1);
}

} // namespace
} // namespace qw
