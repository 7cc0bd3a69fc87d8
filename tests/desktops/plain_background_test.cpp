#include "desktops/plain_background.h"

#include "platform/sim/sim_pictures.h"

#include <gtest/gtest.h>

#include <vector>

namespace qw {
namespace {

// A picture of a window `width` points wide whose title bar holds buttons at [left, right) spans.
platform::Picture titleBarWith(double width, const std::vector<std::pair<double, double>>& buttons, double scale = 1) {
    std::vector<sim::TitleBarElement> elements;
    for (const auto& [left, right] : buttons)
        elements.push_back({"AXButton", Rect(left, 4, right - left, 20), {"AXPress"}});
    return sim::WindowPictures::draw(sim::TitleBarLayout(elements), Size{width, 200}, static_cast<int>(width * scale),
                                     static_cast<int>(200 * scale));
}

// Controls 20 points wide after every stretch of 60 (or 59) points from the left margin on.
const std::vector<std::pair<double, double>> sixtyPointStretches{{150, 170}, {230, 250}, {310, 330}, {390, 410}};
const std::vector<std::pair<double, double>> fiftyNinePointStretches{{149, 169}, {228, 248}, {307, 327}, {386, 406}};

TEST(PlainBackground, TakesTheMiddleOfTheLongestPlainStretchBetweenControls) {
    const Rect frame(1000, 50, 500, 200);
    struct Case {
        const char* what;
        std::vector<std::pair<double, double>> buttons;
        std::optional<double> x; // relative to the window
    };
    const Case cases[] = {
        {"a control breaks the bar: the longer side wins", {{150, 170}, {300, 320}}, 320 + 70},
        {"two equally long stretches: the left one", {{100, 190}, {290, 360}}, 190 + 50},
        {"stretches of exactly 60 points qualify", sixtyPointStretches, 90 + 30},
        {"59 points do not", fiftyNinePointStretches, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto spot = PlainBackground::spot(titleBarWith(frame.width(), c.buttons), frame, 10);
        if (!c.x) {
            EXPECT_FALSE(spot) << c.what;
            continue;
        }
        ASSERT_TRUE(spot) << c.what;
        EXPECT_EQ(*spot, (Point{frame.minX() + *c.x, frame.minY() + 10})) << c.what;
    }
}

TEST(PlainBackground, MeasuresInPointsWhateverThePicturesScale) {
    const Rect frame(0, 0, 500, 200);
    for (const double scale : {2.0, 0.5}) {
        const auto spot = PlainBackground::spot(titleBarWith(500, {{150, 170}, {300, 320}}, scale), frame, 16);
        ASSERT_TRUE(spot) << scale;
        EXPECT_NEAR(spot->x, 390, 2) << scale;
        EXPECT_EQ(spot->y, 16) << scale;
    }
}

TEST(PlainBackground, TheBackgroundIsTheRowsCommonestColourAndItsBandMustFit) {
    const platform::Picture picture = titleBarWith(500, {{100, 400}});
    // Most of row 10 is button; the bar's own colour is the minority there.
    const auto background = PlainBackground::background(picture, 10);
    const auto button = sim::WindowPictures::colourOf("AXButton");
    EXPECT_EQ(background.red, button.red / 8 * 8);
    EXPECT_EQ(background.blue, button.blue / 8 * 8);

    const auto shortPicture = sim::WindowPictures::draw(sim::TitleBarLayout(std::vector<sim::TitleBarElement>{}), Size{500, 12}, 500, 12);
    EXPECT_FALSE(PlainBackground::spot(shortPicture, Rect(0, 0, 500, 12), 10)) << "rows 7 to 13 do not fit 12";
    EXPECT_TRUE(PlainBackground::spot(shortPicture, Rect(0, 0, 500, 12), 6));
    EXPECT_FALSE(PlainBackground::spot(shortPicture, Rect(0, 0, 120, 12), 6)) << "no columns between the margins";
}

} // namespace
} // namespace qw
