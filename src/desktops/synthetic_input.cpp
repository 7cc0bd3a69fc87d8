#include "desktops/synthetic_input.h"

#include <array>

namespace qw::SyntheticInput {

namespace {

using platform::KeyEvent;
using platform::MouseEvent;

struct Modifier {
    std::uint64_t mask;
    std::array<std::uint16_t, 2> keys; // the primary key first; 0 where there is no second key
};

// Which physical keys make each modifier.
constexpr std::array<Modifier, 5> modifiers{{
    {platform::ModifierFlags::control, {59, 62}},
    {platform::ModifierFlags::option, {58, 61}},
    {platform::ModifierFlags::command, {55, 54}},
    {platform::ModifierFlags::shift, {56, 60}},
    {platform::ModifierFlags::function, {63, 0}},
}};

} // namespace

void pressShortcut(platform::Input& input, std::uint16_t keyCode, std::uint64_t flags) {
    input.post(KeyEvent{keyCode, true, flags});
    input.post(KeyEvent{keyCode, false, flags});
    letGoOfModifiers(input, flags);
}

void letGoOfModifiers(platform::Input& input, std::uint64_t flags) {
    for (const Modifier& modifier : modifiers) {
        if ((flags & modifier.mask) != modifier.mask) continue;
        for (std::size_t i = 0; i < modifier.keys.size(); ++i) {
            const std::uint16_t key = modifier.keys[i];
            if (i > 0 && key == 0) continue;
            if (i == 0 || input.isKeyDown(key)) input.post(KeyEvent{key, false, 0});
        }
    }
}

void letGoOfAllModifiers(platform::Input& input) { letGoOfModifiers(input, platform::ModifierFlags::all); }

void mouse(platform::Input& input, MouseEvent::Type type, Point location, std::int64_t deltaX, std::int64_t deltaY) {
    MouseEvent event;
    event.type = type;
    event.location = location;
    event.clickState = type == MouseEvent::Type::moved ? 0 : 1;
    event.deltaX = deltaX;
    event.deltaY = deltaY;
    input.post(event);
}

} // namespace qw::SyntheticInput
