#pragma once

#include "platform/accessibility.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qw::sim {

using platform::AXAttributeValue;
using platform::AXElement;
using platform::AXError;
using platform::AXResult;

// The simulated Mac's element nodes: a kind in the upper 32 bits, a number (a window number, an
// index) in the lower. The application element of every process is node 0.
namespace nodes {
enum Kind : std::uint32_t {
    application = 0,
    window = 1,        // number: the window number
    closeButton = 2,   // number: the window number
    titleBarPart = 3,  // reserved for the parts across a window's title bar
    firstFree = 16,    // kinds from here on are free for other trees (Mission Control's, ...)
};
constexpr std::uint64_t make(std::uint32_t kind, std::uint32_t number) {
    return (std::uint64_t{kind} << 32) | number;
}
constexpr std::uint32_t kindOf(std::uint64_t node) { return static_cast<std::uint32_t>(node >> 32); }
constexpr std::uint32_t numberOf(std::uint64_t node) { return static_cast<std::uint32_t>(node); }
} // namespace nodes

// One part of the simulated Accessibility tree: the elements of some processes (the running
// apps' windows, Mission Control's desktop bars, ...). SimAccessibility routes each call on an
// element to the tree that owns it, after checking trust and whether the process answers, so a
// tree only describes its elements. Trees read the world on every call and keep no copy of it,
// so they always agree with the window list.
class ElementTree {
public:
    virtual ~ElementTree() = default;

    // Whether the element is one of this tree's (it need not exist any longer).
    virtual bool owns(const AXElement& element) const = 0;

    virtual AXResult<AXAttributeValue> copyAttributeValue(const AXElement& element, std::string_view attribute) = 0;
    virtual AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                                      const AXAttributeValue& value) = 0;
    virtual AXResult<bool> isAttributeSettable(const AXElement& element, std::string_view attribute) = 0;
    virtual AXError performAction(const AXElement& element, std::string_view action) = 0;
    virtual AXResult<std::vector<std::string>> copyActionNames(const AXElement& element) = 0;
    // _AXUIElementGetWindow; only window elements have a number.
    virtual AXResult<WindowID> windowNumber(const AXElement&) { return AXError::failure; }

    // The frontmost of this tree's elements under the point, limited to one process when `process`
    // is given; none when this tree shows nothing there.
    virtual std::optional<AXElement> elementAt(Point position, std::optional<ProcessID> process) = 0;
};

} // namespace qw::sim
