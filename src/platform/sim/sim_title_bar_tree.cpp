#include "platform/sim/sim_title_bar_tree.h"

#include <algorithm>

namespace qw::sim {

namespace {

AXElement partElement(const Window& window, std::size_t index) {
    return AXElement{window.pid,
                     nodes::make(TitleBarTree::partKindBase + static_cast<std::uint32_t>(index), window.id)};
}

AXElement windowElement(const Window& window) { return AXElement{window.pid, nodes::make(nodes::window, window.id)}; }

// The app's close button is the first button across its title bar; the apps' tree answers for it.
bool isCloseButton(const TitleBarLayout& layout, std::size_t index) {
    for (std::size_t i = 0; i < layout.elements().size(); ++i)
        if (layout.elements()[i].role == platform::AXNames::buttonRole) return i == index;
    return false;
}

} // namespace

bool TitleBarTree::owns(const AXElement& element) const {
    const std::uint32_t kind = nodes::kindOf(element.node);
    return kind >= partKindBase && kind < partKindBase + maxParts;
}

std::optional<TitleBarTree::Part> TitleBarTree::partOf(const AXElement& element) const {
    if (!owns(element)) return std::nullopt;
    const Window* window = state_.window(nodes::numberOf(element.node));
    if (!window || window->pid != element.pid) return std::nullopt;
    const App* app = runningApp(state_.world, window->pid);
    if (!app) return std::nullopt;
    TitleBarLayout layout = TitleBarLayout::of(*app);
    const std::size_t index = nodes::kindOf(element.node) - partKindBase;
    if (index >= layout.elements().size()) return std::nullopt;
    return Part{window, std::move(layout), index};
}

AXResult<AXAttributeValue> TitleBarTree::copyAttributeValue(const AXElement& element, std::string_view attribute) {
    const auto part = partOf(element);
    if (!part) return AXError::invalidUIElement;
    const TitleBarElement& e = part->layout.elements()[part->index];
    const Rect frame = e.frame.standardized().offsetBy(part->window->frame.minX(), part->window->frame.minY());
    namespace N = platform::AXNames;
    if (attribute == N::role) return AXAttributeValue{e.role};
    if (attribute == N::position) return AXAttributeValue{frame.origin};
    if (attribute == N::size) return AXAttributeValue{frame.size};
    if (attribute == N::parent) {
        const auto parent = part->layout.parent(part->index);
        return AXAttributeValue{parent ? partElement(*part->window, *parent) : windowElement(*part->window)};
    }
    if (attribute == N::children) {
        std::vector<AXElement> children;
        for (std::size_t i = 0; i < part->layout.elements().size(); ++i)
            if (part->layout.parent(i) == part->index) children.push_back(partElement(*part->window, i));
        return AXAttributeValue{std::move(children)};
    }
    return AXError::attributeUnsupported;
}

AXError TitleBarTree::setAttributeValue(const AXElement& element, std::string_view, const AXAttributeValue&) {
    return partOf(element) ? AXError::attributeUnsupported : AXError::invalidUIElement;
}

AXResult<bool> TitleBarTree::isAttributeSettable(const AXElement& element, std::string_view) {
    if (!partOf(element)) return AXError::invalidUIElement;
    return false;
}

AXError TitleBarTree::performAction(const AXElement& element, std::string_view action) {
    const auto part = partOf(element);
    if (!part) return AXError::invalidUIElement;
    const auto& actions = part->layout.elements()[part->index].actions;
    // The app's own controls: pressing one does what the app does, which the world does not model.
    return std::find(actions.begin(), actions.end(), action) != actions.end() ? AXError::success
                                                                              : AXError::actionUnsupported;
}

AXResult<std::vector<std::string>> TitleBarTree::copyActionNames(const AXElement& element) {
    const auto part = partOf(element);
    if (!part) return AXError::invalidUIElement;
    return part->layout.elements()[part->index].actions;
}

std::optional<AXElement> TitleBarTree::elementAt(Point position, std::optional<ProcessID> process) {
    const Window* w = frontmostWindowAt(state_.world, position);
    // Only the frontmost window under the point can answer; behind it nothing shows.
    if (!w || (process && w->pid != *process)) return std::nullopt;
    const TitleBarLayout layout = TitleBarLayout::of(*runningApp(state_.world, w->pid));
    const Rect frame = w->frame.standardized();
    const auto index = layout.elementAt(Point{position.x - frame.minX(), position.y - frame.minY()});
    if (!index || isCloseButton(layout, *index)) return std::nullopt;
    return partElement(*w, *index);
}

} // namespace qw::sim
