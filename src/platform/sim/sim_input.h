#pragma once

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/main_loop.h"
#include "platform/sim/sim_state.h"
#include "platform/symbolic_hot_keys.h"

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace qw::sim {

using HotKey = platform::SymbolicHotKeys::HotKey;

// The user's shortcut for moving a space right (or left) from "com.apple.symbolichotkeys" (ids 81
// and 79); none when it is switched off. A missing or malformed entry means the system default,
// control-function and the arrow key.
std::optional<HotKey> moveSpaceHotKey(const World& world, bool right);

// The pointer, the left button and the keyboard of the simulated Mac, acting on the world as a
// person's hands do:
// - a press on a draggable part of a window's title bar holds the window, and while it is held each
//   drag moves it by as much as the pointer moved; releasing lets go;
// - the user's shortcut for moving a space left or right switches the display under the pointer to
//   its neighbouring desktop once a short animation has played, carrying a held window along.
// Nothing else moves a window to another desktop.
class SimInput final : public platform::Input {
public:
    explicit SimInput(SimState& state);
    ~SimInput() override;
    SimInput(const SimInput&) = delete;
    SimInput& operator=(const SimInput&) = delete;

    void post(const platform::InputEvent& event) override;
    std::optional<Point> pointerLocation() override { return pointer_; }
    void warpPointer(Point location) override { pointer_ = location; }
    bool isKeyDown(std::uint16_t keyCode) override { return keysDown_.contains(keyCode); }

    // Other parts of the simulated system that respond to keys (Mission Control closes on Escape).
    // Told of every key event after the input model has handled it.
    void observeKeys(std::function<void(const platform::KeyEvent&)> observer);

    // What the product has posted, oldest first, and the state of the hands now.
    const std::vector<platform::InputEvent>& posted() const { return posted_; }
    std::optional<WindowID> heldWindow() const { return held_; }
    bool isButtonDown() const { return buttonDown_; }
    // Desktop switches asked for and not yet shown.
    std::size_t switchesPending() const { return switches_.size(); }

    // How long the system animates one desktop switch.
    static constexpr Duration switchAnimation = std::chrono::milliseconds(300);

private:
    struct Switch {
        DisplayID display = 0;
        bool right = true;
    };

    void mouse(const platform::MouseEvent& event);
    void key(const platform::KeyEvent& event);
    // The window whose title bar takes a press at `p`, if one does.
    std::optional<WindowID> windowHeldBy(Point p) const;
    void startNextSwitch();
    void finishSwitch();

    SimState& state_;
    Point pointer_;
    bool buttonDown_ = false;
    std::optional<WindowID> held_;
    std::set<std::uint16_t> keysDown_;
    std::deque<Switch> switches_; // the first is animating
    std::optional<TimerId> switchTimer_;
    std::vector<std::function<void(const platform::KeyEvent&)>> keyObservers_;
    std::vector<platform::InputEvent> posted_;
};

} // namespace qw::sim
