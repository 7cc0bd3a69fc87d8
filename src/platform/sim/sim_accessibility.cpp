#include "platform/sim/sim_accessibility.h"

#include "platform/main_loop.h"

namespace qw::sim {

SimAccessibility::SimAccessibility(SimState& state, TimelinePlayer& timeline) : state_(state), apps_(state, timeline) {
    trees_.push_back(&apps_);
}

bool SimAccessibility::isProcessTrusted() { return state_.world.accessibility; }

bool SimAccessibility::isProcessTrustedWithOptions(bool prompt) {
    // The system prompts only a process it does not trust yet.
    if (prompt && !state_.world.accessibility) ++state_.world.accessibilityPrompts;
    return state_.world.accessibility;
}

AXError SimAccessibility::setMessagingTimeout(const AXElement& element, double seconds) {
    if (!(seconds >= 0)) return AXError::illegalArgument;
    if (seconds == 0)
        timeouts_.erase(element);
    else
        timeouts_[element] = seconds;
    return AXError::success;
}

double SimAccessibility::messagingTimeout(const AXElement& element) const {
    for (const AXElement& holder : {element, AXElement{element.pid, AXElement::applicationNode},
                                    AXElement{AXElement::systemWidePID, AXElement::applicationNode}})
        if (const auto it = timeouts_.find(holder); it != timeouts_.end()) return it->second;
    return defaultMessagingTimeout;
}

AXResult<ElementTree*> SimAccessibility::reach(const AXElement& element) {
    if (!state_.world.accessibility) return AXError::apiDisabled;
    if (const App* app = runningApp(state_.world, element.pid); app && app->behaviour.notResponding) {
        state_.loop.holdUp(fromSeconds(messagingTimeout(element)));
        return AXError::cannotComplete;
    }
    for (ElementTree* tree : trees_)
        if (tree->owns(element)) return tree;
    return AXError::cannotComplete;
}

AXResult<AXAttributeValue> SimAccessibility::copyAttributeValue(const AXElement& element, std::string_view attribute) {
    const auto tree = reach(element);
    if (!tree) return tree.error();
    return (*tree)->copyAttributeValue(element, attribute);
}

AXError SimAccessibility::setAttributeValue(const AXElement& element, std::string_view attribute,
                                            const AXAttributeValue& value) {
    const auto tree = reach(element);
    if (!tree) return tree.error();
    return (*tree)->setAttributeValue(element, attribute, value);
}

AXResult<bool> SimAccessibility::isAttributeSettable(const AXElement& element, std::string_view attribute) {
    const auto tree = reach(element);
    if (!tree) return tree.error();
    return (*tree)->isAttributeSettable(element, attribute);
}

AXError SimAccessibility::performAction(const AXElement& element, std::string_view action) {
    const auto tree = reach(element);
    if (!tree) return tree.error();
    return (*tree)->performAction(element, action);
}

AXResult<std::vector<std::string>> SimAccessibility::copyActionNames(const AXElement& element) {
    const auto tree = reach(element);
    if (!tree) return tree.error();
    return (*tree)->copyActionNames(element);
}

AXResult<AXElement> SimAccessibility::copyElementAtPosition(const AXElement& element, Point position) {
    if (!state_.world.accessibility) return AXError::apiDisabled;
    if (element.isSystemWide()) {
        for (ElementTree* tree : trees_)
            if (const auto found = tree->elementAt(position, std::nullopt)) return *found;
        return AXError::noValue;
    }
    if (!element.isApplication()) return AXError::illegalArgument;
    const auto tree = reach(element);
    if (!tree) return tree.error();
    if (const auto found = (*tree)->elementAt(position, element.pid)) return *found;
    return AXError::noValue;
}

AXResult<ProcessID> SimAccessibility::getPid(const AXElement& element) {
    if (!state_.world.accessibility) return AXError::apiDisabled;
    if (element.isSystemWide()) return AXError::illegalArgument;
    return element.pid;
}

AXResult<WindowID> SimAccessibility::windowNumber(const AXElement& element) {
    if (!state_.world.accessibility) return AXError::apiDisabled;
    for (ElementTree* tree : trees_)
        if (tree->owns(element)) return tree->windowNumber(element);
    return AXError::invalidUIElement;
}

} // namespace qw::sim
