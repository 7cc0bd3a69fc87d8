#pragma once

#include "model/rect.h"

#include <cstdint>
#include <optional>
#include <variant>

namespace qw::platform {

// Modifier masks in the CGEventFlags encoding.
namespace ModifierFlags {
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
inline constexpr std::uint64_t function = 0x800000;
// The five above together.
inline constexpr std::uint64_t all = shift | control | option | command | function;
} // namespace ModifierFlags

// Virtual key codes the product presses by number.
namespace KeyCodes {
inline constexpr std::uint16_t escape = 53;
inline constexpr std::uint16_t leftArrow = 123;
inline constexpr std::uint16_t rightArrow = 124;
} // namespace KeyCodes

// A synthetic key press or release (CGEventCreateKeyboardEvent with CGEventSetFlags).
struct KeyEvent {
    std::uint16_t keyCode = 0;
    bool down = true;
    std::uint64_t flags = 0;

    bool operator==(const KeyEvent&) const = default;
};

// A synthetic event of the left mouse button or the pointer (CGEventCreateMouseEvent with the
// click-state and delta fields set).
struct MouseEvent {
    enum class Type { moved, leftDown, leftDragged, leftUp };

    Type type = Type::moved;
    Point location; // global top-left-origin points
    std::uint64_t flags = 0;
    std::int64_t clickState = 0;
    std::int64_t deltaX = 0;
    std::int64_t deltaY = 0;

    bool operator==(const MouseEvent&) const = default;
};

using InputEvent = std::variant<KeyEvent, MouseEvent>;

// Synthetic input as Core Graphics offers it: events posted to the HID event tap (so that they act
// as if the user made them), the pointer, and the keys the hardware reports down. Every event comes
// from one source with the HID system state, which the backend creates on first use.
class Input {
public:
    virtual ~Input() = default;

    // CGEventPost to kCGHIDEventTap.
    virtual void post(const InputEvent& event) = 0;
    // The pointer's position, read from a fresh null event; absent when no event can be made.
    virtual std::optional<Point> pointerLocation() = 0;
    // CGWarpMouseCursorPosition: moves the pointer without posting a mouse event.
    virtual void warpPointer(Point location) = 0;
    // CGEventSourceKeyState with the HID system state: the key is held down now.
    virtual bool isKeyDown(std::uint16_t keyCode) = 0;
};

} // namespace qw::platform
