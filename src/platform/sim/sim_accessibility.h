#pragma once

#include "platform/accessibility.h"
#include "platform/sim/app_element_tree.h"
#include "platform/sim/element_tree.h"
#include "platform/sim/sim_state.h"

#include <map>
#include <vector>

namespace qw::sim {

class TimelinePlayer;

// The Accessibility interface of the simulated Mac. It checks what the system checks before any
// process sees a call (trust, whether the process answers in time) and routes the call to the
// element tree that owns the element: the running apps' tree, and any tree added in front of it.
//
// Without trust every element call fails with -25211. A call on an element of an app that does not
// respond holds the main loop up for the element's messaging timeout in world time, then fails with
// -25204. A call on an element no tree owns (a process that is not running) fails with -25204 at once.
//
// Hit-testing on the system-wide element asks the trees front to back (the last added first); each
// tree answers for what it shows at the point. Asked of an application element, only that app's
// tree answers, for that app.
class SimAccessibility final : public platform::Accessibility {
public:
    SimAccessibility(SimState& state, TimelinePlayer& timeline);

    bool isProcessTrusted() override;
    // Asking with the prompt shows it (the world counts it) but grants nothing: only the user
    // grants, in the settings.
    bool isProcessTrustedWithOptions(bool prompt) override;

    AXError setMessagingTimeout(const AXElement& element, double seconds) override;
    AXResult<AXAttributeValue> copyAttributeValue(const AXElement& element, std::string_view attribute) override;
    AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                              const AXAttributeValue& value) override;
    AXResult<bool> isAttributeSettable(const AXElement& element, std::string_view attribute) override;
    AXError performAction(const AXElement& element, std::string_view action) override;
    AXResult<std::vector<std::string>> copyActionNames(const AXElement& element) override;
    AXResult<AXElement> copyElementAtPosition(const AXElement& element, Point position) override;
    AXResult<ProcessID> getPid(const AXElement& element) override;
    AXResult<WindowID> windowNumber(const AXElement& element) override;

    // Puts a tree in front of those added before (a process's overlay such as Mission Control's).
    // The tree must outlive this object.
    void addTree(ElementTree& tree) { trees_.insert(trees_.begin(), &tree); }

    // The messaging timeout a call on the element waits out, in seconds.
    double messagingTimeout(const AXElement& element) const;

private:
    // The tree that answers for the element after the system's checks, or the error the call
    // fails with before reaching any process.
    AXResult<ElementTree*> reach(const AXElement& element);

    SimState& state_;
    AppElementTree apps_;
    std::vector<ElementTree*> trees_; // front to back
    std::map<AXElement, double> timeouts_;
};

} // namespace qw::sim
