#pragma once

#include "platform/sim/element_tree.h"
#include "platform/sim/sim_state.h"
#include "platform/sim/sim_title_bar.h"

namespace qw::sim {

// The elements across the running apps' title bars, as their `titleBar` lays them out: what a hit
// test finds on a toolbar, a title, a group or a control. Each element's parent is the element that
// encloses it, else its window; a window's close button stays with the apps' tree, and wherever no
// element lies the apps' tree answers with the window itself. Added in front of the apps' tree.
//
// Node numbers: the element's index in the layout above `partKindBase` as the kind, the window
// number as the number.
class TitleBarTree final : public ElementTree {
public:
    static constexpr std::uint32_t partKindBase = 0x10000;
    static constexpr std::uint32_t maxParts = 0x10000;

    explicit TitleBarTree(SimState& state) : state_(state) {}

    bool owns(const AXElement& element) const override;
    AXResult<AXAttributeValue> copyAttributeValue(const AXElement& element, std::string_view attribute) override;
    AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                              const AXAttributeValue& value) override;
    AXResult<bool> isAttributeSettable(const AXElement& element, std::string_view attribute) override;
    AXError performAction(const AXElement& element, std::string_view action) override;
    AXResult<std::vector<std::string>> copyActionNames(const AXElement& element) override;
    std::optional<AXElement> elementAt(Point position, std::optional<ProcessID> process) override;

private:
    struct Part {
        const Window* window = nullptr;
        TitleBarLayout layout;
        std::size_t index = 0;
    };
    // The part an element stands for, while its window and app exist.
    std::optional<Part> partOf(const AXElement& element) const;

    SimState& state_;
};

} // namespace qw::sim
