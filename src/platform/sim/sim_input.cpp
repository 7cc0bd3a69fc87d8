#include "platform/sim/sim_input.h"

#include "platform/sim/sim_title_bar.h"
#include "platform/symbolic_hot_keys.h"

#include <algorithm>

namespace qw::sim {

using platform::KeyEvent;
using platform::MouseEvent;

std::optional<HotKey> moveSpaceHotKey(const World& world, bool right) {
    using namespace platform::SymbolicHotKeys;
    const HotKey fallback{right ? platform::KeyCodes::rightArrow : platform::KeyCodes::leftArrow,
                          platform::ModifierFlags::control | platform::ModifierFlags::function};
    const PropertyValue* hotKeys = nullptr;
    if (const auto d = world.preferences.find(domain); d != world.preferences.end())
        if (const auto k = d->second.find(key); k != d->second.end()) hotKeys = &k->second;
    return platform::SymbolicHotKeys::read(hotKeys, right ? moveRightASpace : moveLeftASpace, fallback);
}

SimInput::SimInput(SimState& state) : state_(state) {
    // The pointer starts where a person leaves it most often: in the middle of the main display.
    if (const Display* main = mainDisplay(state_.world)) pointer_ = Point{main->frame.midX(), main->frame.midY()};
}

SimInput::~SimInput() {
    if (switchTimer_) state_.loop.cancel(*switchTimer_);
}

void SimInput::observeKeys(std::function<void(const KeyEvent&)> observer) {
    keyObservers_.push_back(std::move(observer));
}

void SimInput::post(const platform::InputEvent& event) {
    posted_.push_back(event);
    if (const auto* m = std::get_if<MouseEvent>(&event)) mouse(*m);
    else key(std::get<KeyEvent>(event));
}

void SimInput::mouse(const MouseEvent& event) {
    const Point from = pointer_;
    pointer_ = event.location;
    switch (event.type) {
    case MouseEvent::Type::moved:
        break;
    case MouseEvent::Type::leftDown:
        buttonDown_ = true;
        held_ = windowHeldBy(event.location);
        break;
    case MouseEvent::Type::leftDragged:
        if (!buttonDown_ || !held_) break;
        for (Window& w : state_.world.windows) {
            if (w.id != *held_) continue;
            w.frame = w.frame.offsetBy(event.location.x - from.x, event.location.y - from.y);
            break;
        }
        break;
    case MouseEvent::Type::leftUp:
        buttonDown_ = false;
        held_.reset();
        break;
    }
}

std::optional<WindowID> SimInput::windowHeldBy(Point p) const {
    const World& world = state_.world;
    const std::vector<SpaceID> shown = shownSpaces(world);
    // The frontmost window under the point takes the press.
    for (const Window& w : world.windows) {
        if (w.layer != 0 || !w.frame.contains(p)) continue;
        const App* app = runningApp(world, w.pid);
        if (!isOnScreen(w, app, shown)) continue;
        if (!app || app->behaviour.undraggable) return std::nullopt;
        const Point relative{p.x - w.frame.standardized().minX(), p.y - w.frame.standardized().minY()};
        if (!TitleBarLayout::of(*app).isDraggableAt(relative)) return std::nullopt;
        return w.id;
    }
    return std::nullopt;
}

void SimInput::key(const KeyEvent& event) {
    if (event.down) keysDown_.insert(event.keyCode);
    else keysDown_.erase(event.keyCode);

    if (event.down) {
        for (const bool right : {true, false}) {
            const std::optional<HotKey> hotKey = moveSpaceHotKey(state_.world, right);
            if (!hotKey || hotKey->keyCode != event.keyCode ||
                (hotKey->flags & platform::ModifierFlags::all) != (event.flags & platform::ModifierFlags::all))
                continue;
            const Display* under = nullptr;
            for (const Display& d : state_.world.displays)
                if (d.frame.contains(pointer_)) under = &d;
            if (!under) under = mainDisplay(state_.world);
            if (under) {
                switches_.push_back(Switch{under->id, right});
                if (!switchTimer_) startNextSwitch();
            }
            break;
        }
    }
    // Observers may change the world or add observers; a copy keeps the walk safe.
    const auto observers = keyObservers_;
    for (const auto& observer : observers) observer(event);
}

void SimInput::startNextSwitch() {
    if (switches_.empty()) return;
    switchTimer_ = state_.loop.after(switchAnimation, [this] { finishSwitch(); });
}

void SimInput::finishSwitch() {
    switchTimer_.reset();
    const Switch next = switches_.front();
    switches_.pop_front();

    World& world = state_.world;
    const Display* display = findDisplay(world, next.display);
    // With shared desktops every display moves through the main display's desktops.
    const Display* owner = display && !world.separateSpaces ? mainDisplay(world) : display;
    if (owner) {
        const auto& spaces = owner->spaces;
        const auto current = std::find_if(spaces.begin(), spaces.end(),
                                          [&](const Space& s) { return s.id == owner->currentSpace; });
        const bool atEdge = current == spaces.end() || (next.right ? current + 1 == spaces.end() : current == spaces.begin());
        // At the last desktop the system only bounces.
        if (!atEdge) {
            const Space& to = next.right ? *(current + 1) : *(current - 1);
            // The window in hand goes along. A full-screen space takes no other window: passing
            // one, the window stays in hand and lands on the next desktop.
            if (held_ && !to.fullscreen) {
                for (Window& w : world.windows) {
                    if (w.id != *held_ || w.spaces.size() != 1) continue;
                    const bool onThisDisplay = std::any_of(spaces.begin(), spaces.end(),
                                                           [&](const Space& s) { return s.id == w.spaces[0]; });
                    if (onThisDisplay) w.spaces = {to.id};
                }
            }
            const SpaceID target = to.id;
            auto effects = showDesktop(world, display->id, target);
            if (effects)
                for (const Posting& posting : effects->postings) state_.post(posting);
        }
    }
    startNextSwitch();
}

} // namespace qw::sim
