#pragma once

#include "model/ids.h"
#include "model/rect.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace qw::platform {

// The Accessibility error codes (AXError). The underlying type is the platform's, so that a code
// the system returns and this list does not name still travels unchanged.
enum class AXError : std::int32_t {
    success = 0,
    failure = -25200,
    illegalArgument = -25201,
    invalidUIElement = -25202,
    invalidUIElementObserver = -25203,
    cannotComplete = -25204, // the app did not answer within the messaging timeout
    attributeUnsupported = -25205,
    actionUnsupported = -25206,
    notificationUnsupported = -25207,
    notImplemented = -25208,
    notificationAlreadyRegistered = -25209,
    notificationNotRegistered = -25210,
    apiDisabled = -25211, // the process is not trusted
    noValue = -25212,
    parameterizedAttributeUnsupported = -25213,
    notEnoughPrecision = -25214,
};

inline std::int32_t rawValue(AXError error) { return static_cast<std::int32_t>(error); }

// An Accessibility element (AXUIElementRef): an opaque handle to one node of one process's
// interface. The backend hands out `node`; the application element of a process is node 0. Two
// handles to the same node compare equal, as CFEqual finds two references to one element.
struct AXElement {
    ProcessID pid = 0;
    std::uint64_t node = 0;

    static constexpr std::uint64_t applicationNode = 0;
    // The system-wide element has no process of its own.
    static constexpr ProcessID systemWidePID = -1;

    bool isApplication() const { return node == applicationNode && pid != systemWidePID; }
    bool isSystemWide() const { return pid == systemWidePID; }

    auto operator<=>(const AXElement&) const = default;
};

// What an attribute holds: an element, a list of elements, a Boolean, a string, a number, or a
// boxed point or size (AXValue of kAXValueCGPointType or kAXValueCGSizeType).
using AXAttributeValue = std::variant<AXElement, std::vector<AXElement>, bool, std::string, double, Point, Size>;

// The value of a call or its error code.
template <typename T>
class AXResult {
public:
    AXResult(T value) : state_(std::move(value)) {}
    AXResult(AXError error) : state_(error) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<T>(state_); }
    T value() && { return std::get<T>(std::move(state_)); }
    const T& operator*() const& { return value(); }
    T operator*() && { return std::move(*this).value(); }
    const T* operator->() const { return &value(); }
    // AXError::success when there is a value.
    AXError error() const { return ok() ? AXError::success : std::get<AXError>(state_); }

    bool operator==(const AXResult&) const = default;

private:
    std::variant<T, AXError> state_;
};

// Attribute and action names used by the system.
namespace AXNames {
inline constexpr const char* windows = "AXWindows";
inline constexpr const char* children = "AXChildren";
inline constexpr const char* parent = "AXParent";
inline constexpr const char* focusedWindow = "AXFocusedWindow";
inline constexpr const char* mainWindow = "AXMainWindow";
inline constexpr const char* position = "AXPosition";
inline constexpr const char* size = "AXSize";
inline constexpr const char* minimized = "AXMinimized";
inline constexpr const char* closeButton = "AXCloseButton";
inline constexpr const char* enhancedUserInterface = "AXEnhancedUserInterface";
inline constexpr const char* role = "AXRole";
inline constexpr const char* subrole = "AXSubrole";
inline constexpr const char* identifier = "AXIdentifier";
inline constexpr const char* title = "AXTitle";
inline constexpr const char* hidden = "AXHidden";
inline constexpr const char* main = "AXMain";
inline constexpr const char* focused = "AXFocused";
inline constexpr const char* window = "AXWindow";
// Actions.
inline constexpr const char* raise = "AXRaise";
inline constexpr const char* press = "AXPress";
inline constexpr const char* removeDesktop = "AXRemoveDesktop";
// Roles.
inline constexpr const char* applicationRole = "AXApplication";
inline constexpr const char* windowRole = "AXWindow";
inline constexpr const char* buttonRole = "AXButton";
inline constexpr const char* toolbarRole = "AXToolbar";
inline constexpr const char* staticTextRole = "AXStaticText";
inline constexpr const char* groupRole = "AXGroup";
inline constexpr const char* webAreaRole = "AXWebArea";
inline constexpr const char* listRole = "AXList";
inline constexpr const char* unknownRole = "AXUnknown";
// Subroles.
inline constexpr const char* standardWindowSubrole = "AXStandardWindow";
inline constexpr const char* closeButtonSubrole = "AXCloseButton";
} // namespace AXNames

// The Accessibility interface (ApplicationServices). Without trust every element call fails with
// AXError::apiDisabled. A call on an element of an app that does not answer waits out the element's
// messaging timeout, then fails with AXError::cannotComplete.
class Accessibility {
public:
    // The messaging timeout of an element nobody set one on (the system's global default).
    static constexpr double defaultMessagingTimeout = 6.0;

    virtual ~Accessibility() = default;
    // AXIsProcessTrusted: never prompts.
    virtual bool isProcessTrusted() = 0;
    // AXIsProcessTrustedWithOptions with "AXTrustedCheckOptionPrompt": shows the system's prompt
    // and lists the app in the privacy settings when `prompt` is true.
    virtual bool isProcessTrustedWithOptions(bool prompt) = 0;

    // AXUIElementCreateApplication and AXUIElementCreateSystemWide: creating never fails; a
    // process that does not exist shows when the element is used.
    AXElement createApplication(ProcessID pid) const { return AXElement{pid, AXElement::applicationNode}; }
    AXElement createSystemWide() const { return AXElement{AXElement::systemWidePID, AXElement::applicationNode}; }

    // AXUIElementSetMessagingTimeout: later calls on the element (and on the elements of its
    // process that have none of their own) give up after `seconds`. Set on the system-wide
    // element, it becomes the default for every element. Zero restores the default.
    virtual AXError setMessagingTimeout(const AXElement& element, double seconds) = 0;

    // AXUIElementCopyAttributeValue. AXError::noValue when the attribute exists but holds nothing.
    virtual AXResult<AXAttributeValue> copyAttributeValue(const AXElement& element, std::string_view attribute) = 0;
    // AXUIElementSetAttributeValue.
    virtual AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                                      const AXAttributeValue& value) = 0;
    // AXUIElementIsAttributeSettable.
    virtual AXResult<bool> isAttributeSettable(const AXElement& element, std::string_view attribute) = 0;
    // AXUIElementPerformAction.
    virtual AXError performAction(const AXElement& element, std::string_view action) = 0;
    // AXUIElementCopyActionNames.
    virtual AXResult<std::vector<std::string>> copyActionNames(const AXElement& element) = 0;
    // AXUIElementCopyElementAtPosition: the frontmost element under the point, asked of the
    // system-wide element (any app's) or of an application element (that app's only).
    virtual AXResult<AXElement> copyElementAtPosition(const AXElement& element, Point position) = 0;
    // AXUIElementGetPid.
    virtual AXResult<ProcessID> getPid(const AXElement& element) = 0;
    // _AXUIElementGetWindow: the window server's number of a window element.
    virtual AXResult<WindowID> windowNumber(const AXElement& element) = 0;
};

} // namespace qw::platform
