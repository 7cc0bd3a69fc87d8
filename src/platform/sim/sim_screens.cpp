#include "platform/sim/sim_screens.h"

namespace qw::sim {

Rect flipped(const Rect& rect, double mainHeight) {
    return Rect(rect.x(), mainHeight - rect.maxY(), rect.width(), rect.height());
}

std::vector<platform::Screen> SimScreens::screens() {
    const World& world = state_.world;
    const Display* main = mainDisplay(world);
    if (!main) return {};
    const double height = main->frame.height();
    const auto screenOf = [&](const Display& d) {
        return platform::Screen{platform::PropertyValue::Dictionary{{"NSScreenNumber", d.id}},
                                flipped(d.frame, height), flipped(d.visibleFrame, height), d.name};
    };
    std::vector<platform::Screen> list;
    if (main->screen) list.push_back(screenOf(*main));
    for (const Display& d : world.displays)
        if (&d != main && d.screen) list.push_back(screenOf(d));
    return list;
}

} // namespace qw::sim
