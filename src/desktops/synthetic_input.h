#pragma once

#include "model/rect.h"
#include "platform/input.h"

#include <cstdint>

// Synthetic keyboard and mouse events as the desktop operations post them: a shortcut pressed and
// its modifiers let go of, and the left button pressed, dragged and released like a hand would.
namespace qw::SyntheticInput {

// Presses and releases the key with those flags, then lets go of the shortcut's modifiers.
void pressShortcut(platform::Input& input, std::uint16_t keyCode, std::uint64_t flags);

// For each modifier wholly contained in `flags`, a key-up of its primary key and of every other key
// of it that the hardware reports down, so that no modifier stays pressed after a synthetic one.
void letGoOfModifiers(platform::Input& input, std::uint64_t flags);
void letGoOfAllModifiers(platform::Input& input);

// A mouse event of the left button without modifier flags; presses, drags and releases are single
// clicks.
void mouse(platform::Input& input, platform::MouseEvent::Type type, Point location, std::int64_t deltaX = 0,
           std::int64_t deltaY = 0);

} // namespace qw::SyntheticInput
