#include "platform/sim/app_element_tree.h"

#include "platform/main_loop.h"
#include "platform/sim/sim_timeline.h"
#include "platform/sim/sim_title_bar.h"
#include "platform/sim/world_mutator.h"

#include <algorithm>
#include <cmath>

namespace qw::sim {

namespace Names = platform::AXNames;

namespace {

AXElement windowElement(const Window& window) { return AXElement{window.pid, nodes::make(nodes::window, window.id)}; }

AXElement closeButtonElement(const Window& window) {
    return AXElement{window.pid, nodes::make(nodes::closeButton, window.id)};
}

bool isShown(const Window& window, const std::vector<SpaceID>& shown) {
    return std::any_of(window.spaces.begin(), window.spaces.end(), [&](SpaceID space) {
        return std::find(shown.begin(), shown.end(), space) != shown.end();
    });
}

Size clamped(Size size, const AppBehaviour& behaviour) {
    if (behaviour.minSize) {
        size.width = std::max(size.width, behaviour.minSize->width);
        size.height = std::max(size.height, behaviour.minSize->height);
    }
    if (behaviour.maxSize) {
        size.width = std::min(size.width, behaviour.maxSize->width);
        size.height = std::min(size.height, behaviour.maxSize->height);
    }
    return size;
}

std::vector<AXElement> elementsOf(const std::vector<const Window*>& windows) {
    std::vector<AXElement> elements;
    for (const Window* w : windows) elements.push_back(windowElement(*w));
    return elements;
}

} // namespace

bool AppElementTree::owns(const AXElement& element) const {
    const auto kind = nodes::kindOf(element.node);
    if (kind != nodes::application && kind != nodes::window && kind != nodes::closeButton) return false;
    return runningApp(state_.world, element.pid) != nullptr;
}

const Window* AppElementTree::windowOf(const AXElement& element) const {
    const Window* window = state_.window(nodes::numberOf(element.node));
    return window && window->pid == element.pid ? window : nullptr;
}

std::vector<const Window*> AppElementTree::exposedWindows(const App& app) const {
    const std::vector<SpaceID> shown = shownSpaces(state_.world);
    std::vector<const Window*> exposed;
    for (const Window& w : state_.world.windows)
        if (w.pid == app.pid && (w.minimized || isShown(w, shown))) exposed.push_back(&w);
    return exposed;
}

std::optional<AXElement> AppElementTree::focusedWindow(const App& app) const {
    for (const Window* w : exposedWindows(app))
        if (!w->minimized) return windowElement(*w);
    return std::nullopt;
}

std::optional<Rect> AppElementTree::closeButtonFrame(const App& app, const Window& window) const {
    const TitleBarLayout layout = TitleBarLayout::of(app);
    const auto& parts = layout.elements();
    const auto button =
        std::find_if(parts.begin(), parts.end(), [](const TitleBarElement& e) { return e.role == Names::buttonRole; });
    if (button == parts.end()) return std::nullopt;
    return button->frame.offsetBy(window.frame.x(), window.frame.y());
}

// ---- Reading ---------------------------------------------------------------------------------------

AXResult<AXAttributeValue> AppElementTree::copyAttributeValue(const AXElement& element, std::string_view attribute) {
    const App* app = runningApp(state_.world, element.pid);
    if (!app) return AXError::invalidUIElement;
    const auto kind = nodes::kindOf(element.node);
    if (kind == nodes::application) return applicationAttribute(*app, attribute);
    const Window* window = windowOf(element);
    if (!window) return AXError::invalidUIElement;
    if (kind == nodes::window) return windowAttribute(*app, *window, attribute);
    if (!closeButtonFrame(*app, *window)) return AXError::invalidUIElement;
    return closeButtonAttribute(*app, *window, attribute);
}

AXResult<AXAttributeValue> AppElementTree::applicationAttribute(const App& app, std::string_view attribute) const {
    if (attribute == Names::role) return AXAttributeValue{std::string(Names::applicationRole)};
    if (attribute == Names::title) return AXAttributeValue{app.name};
    if (attribute == Names::windows || attribute == Names::children) {
        if (app.behaviour.hidesWindows) return AXAttributeValue{std::vector<AXElement>{}};
        return AXAttributeValue{elementsOf(exposedWindows(app))};
    }
    if (attribute == Names::focusedWindow || attribute == Names::mainWindow) {
        // An app that hides its windows still answers for the one that has the focus.
        const auto focused = attribute == Names::mainWindow && app.behaviour.hidesWindows ? std::nullopt
                                                                                           : focusedWindow(app);
        if (!focused) return AXError::noValue;
        return AXAttributeValue{*focused};
    }
    if (attribute == Names::enhancedUserInterface) return AXAttributeValue{app.behaviour.enhancedUserInterface};
    if (attribute == Names::hidden) return AXAttributeValue{app.hidden};
    return AXError::attributeUnsupported;
}

AXResult<AXAttributeValue> AppElementTree::windowAttribute(const App& app, const Window& window,
                                                           std::string_view attribute) const {
    if (attribute == Names::role) return AXAttributeValue{std::string(Names::windowRole)};
    if (attribute == Names::subrole) return AXAttributeValue{std::string(Names::standardWindowSubrole)};
    if (attribute == Names::title) return AXAttributeValue{window.title};
    if (attribute == Names::position) return AXAttributeValue{window.frame.origin};
    if (attribute == Names::size) return AXAttributeValue{window.frame.size};
    if (attribute == Names::minimized) return AXAttributeValue{window.minimized};
    if (attribute == Names::parent) return AXAttributeValue{AXElement{app.pid, AXElement::applicationNode}};
    if (attribute == Names::closeButton) {
        if (!closeButtonFrame(app, window)) return AXError::noValue;
        return AXAttributeValue{closeButtonElement(window)};
    }
    if (attribute == Names::children) {
        std::vector<AXElement> children;
        if (closeButtonFrame(app, window)) children.push_back(closeButtonElement(window));
        return AXAttributeValue{children};
    }
    if (attribute == Names::main || attribute == Names::focused) {
        const auto focused = focusedWindow(app);
        return AXAttributeValue{focused && *focused == windowElement(window)};
    }
    return AXError::attributeUnsupported;
}

AXResult<AXAttributeValue> AppElementTree::closeButtonAttribute(const App& app, const Window& window,
                                                                std::string_view attribute) const {
    const Rect frame = *closeButtonFrame(app, window);
    if (attribute == Names::role) return AXAttributeValue{std::string(Names::buttonRole)};
    if (attribute == Names::subrole) return AXAttributeValue{std::string(Names::closeButtonSubrole)};
    if (attribute == Names::parent || attribute == Names::window) return AXAttributeValue{windowElement(window)};
    if (attribute == Names::position) return AXAttributeValue{frame.origin};
    if (attribute == Names::size) return AXAttributeValue{frame.size};
    if (attribute == Names::children) return AXAttributeValue{std::vector<AXElement>{}};
    return AXError::attributeUnsupported;
}

AXResult<WindowID> AppElementTree::windowNumber(const AXElement& element) {
    if (nodes::kindOf(element.node) != nodes::window) return AXError::failure;
    const Window* window = windowOf(element);
    if (!window) return AXError::invalidUIElement;
    return window->id;
}

// ---- Writing ---------------------------------------------------------------------------------------

AXResult<bool> AppElementTree::isAttributeSettable(const AXElement& element, std::string_view attribute) {
    const auto value = copyAttributeValue(element, attribute);
    if (!value && value.error() != AXError::noValue) return value.error();
    const App& app = *runningApp(state_.world, element.pid);
    switch (nodes::kindOf(element.node)) {
    case nodes::application:
        return attribute == Names::enhancedUserInterface || attribute == Names::hidden;
    case nodes::window:
        if (attribute == Names::size) return !app.behaviour.fixedSize;
        return attribute == Names::position || attribute == Names::minimized;
    default:
        return false;
    }
}

AXError AppElementTree::setAttributeValue(const AXElement& element, std::string_view attribute,
                                          const AXAttributeValue& value) {
    App* app = runningApp(state_.world, element.pid);
    if (!app) return AXError::invalidUIElement;
    const auto kind = nodes::kindOf(element.node);
    if (kind == nodes::application) {
        const bool* on = std::get_if<bool>(&value);
        if (attribute == Names::enhancedUserInterface) {
            if (!on) return AXError::illegalArgument;
            app->behaviour.enhancedUserInterface = *on;
            return AXError::success;
        }
        if (attribute == Names::hidden) {
            if (!on) return AXError::illegalArgument;
            app->hidden = *on;
            return AXError::success;
        }
        return applicationAttribute(*app, attribute) ? AXError::failure : AXError::attributeUnsupported;
    }
    const Window* window = windowOf(element);
    if (!window) return AXError::invalidUIElement;
    if (kind == nodes::window) return setWindowAttribute(*app, *window, attribute, value);
    return closeButtonAttribute(*app, *window, attribute) ? AXError::failure : AXError::attributeUnsupported;
}

AXError AppElementTree::setWindowAttribute(const App& app, const Window& window, std::string_view attribute,
                                           const AXAttributeValue& value) {
    if (attribute == Names::position) {
        const Point* position = std::get_if<Point>(&value);
        if (!position) return AXError::illegalArgument;
        if (app.behaviour.refusesMove) return static_cast<AXError>(*app.behaviour.refusesMove);
        const Point at{position->x + app.behaviour.offset.x, position->y + app.behaviour.offset.y};
        return moveTo(app, window, Rect(at, window.frame.size));
    }
    if (attribute == Names::size) {
        const Size* size = std::get_if<Size>(&value);
        if (!size) return AXError::illegalArgument;
        if (app.behaviour.fixedSize) return AXError::attributeUnsupported;
        Size landed = clamped(*size, app.behaviour);
        if (app.behaviour.enhancedUserInterface) {
            // The resize animates; what is read back meanwhile is halfway there.
            const Size from = window.frame.size;
            landed = Size{std::round(from.width + (landed.width - from.width) / 2),
                          std::round(from.height + (landed.height - from.height) / 2)};
        }
        return moveTo(app, window, Rect(window.frame.origin, landed));
    }
    if (attribute == Names::minimized) {
        const bool* minimized = std::get_if<bool>(&value);
        if (!minimized) return AXError::illegalArgument;
        auto& windows = state_.world.windows;
        const auto it = std::find_if(windows.begin(), windows.end(), [&](const Window& w) { return w.id == window.id; });
        it->minimized = *minimized;
        return AXError::success;
    }
    return windowAttribute(app, window, attribute) ? AXError::failure : AXError::attributeUnsupported;
}

AXError AppElementTree::moveTo(const App& app, const Window& window, const Rect& frame) {
    const WindowID id = window.id;
    const Rect before = window.frame;
    if (carryOut(state_, timeline_, moveWindow(state_.world, id, frame))) return AXError::failure; // full screen
    if (app.behaviour.snapsBack) {
        // One snap back per burst of moves: the window returns to where it was before the first.
        const Duration now = state_.elapsed();
        const auto pending = snapBacks_.find(id);
        if (pending == snapBacks_.end() || pending->second <= now) {
            snapBacks_[id] = now + fromSeconds(snapBackDelay);
            timeline_.add(TimelineEvent{snapBackDelay, events::MoveWindow{id, before}});
        }
    }
    return AXError::success;
}

// ---- Actions ---------------------------------------------------------------------------------------

AXResult<std::vector<std::string>> AppElementTree::copyActionNames(const AXElement& element) {
    const auto role = copyAttributeValue(element, Names::role);
    if (!role) return role.error();
    switch (nodes::kindOf(element.node)) {
    case nodes::window:
        return std::vector<std::string>{Names::raise};
    case nodes::closeButton:
        return std::vector<std::string>{Names::press};
    default:
        return std::vector<std::string>{};
    }
}

AXError AppElementTree::performAction(const AXElement& element, std::string_view action) {
    const auto names = copyActionNames(element);
    if (!names) return names.error();
    if (std::find(names->begin(), names->end(), action) == names->end()) return AXError::actionUnsupported;
    const WindowID id = windowOf(element)->id;
    if (action == Names::press)
        return carryOut(state_, timeline_, closeWindow(state_.world, id)) ? AXError::failure : AXError::success;
    // Raising brings the window in front of every other window.
    auto& windows = state_.world.windows;
    const auto it = std::find_if(windows.begin(), windows.end(), [&](const Window& w) { return w.id == id; });
    std::rotate(windows.begin(), it, std::next(it));
    state_.windowIndex.invalidate();
    return AXError::success;
}

// ---- Hit-testing -----------------------------------------------------------------------------------

std::optional<AXElement> AppElementTree::elementAt(Point position, std::optional<ProcessID> process) {
    const Window* w = frontmostWindowAt(state_.world, position);
    // The frontmost window there covers whatever lies behind it, whichever process asks.
    if (!w || (process && w->pid != *process)) return std::nullopt;
    const App& app = *runningApp(state_.world, w->pid);
    if (const auto button = closeButtonFrame(app, *w); button && button->contains(position))
        return closeButtonElement(*w);
    return windowElement(*w);
}

} // namespace qw::sim
