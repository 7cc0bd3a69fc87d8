#include "desktops/title_bar_spot.h"

#include "desktops/plain_background.h"
#include "platform/screen_capture.h"

#include <algorithm>
#include <vector>

namespace qw::SpaceMover {

using platform::AXElement;
using platform::AXNames::parent;
using platform::AXNames::role;

namespace {

constexpr double maxPictureSide = 100'000;

template <std::size_t N>
bool isAmong(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The element under the point, when it belongs to the process.
std::optional<AXElement> hitOf(platform::Accessibility& accessibility, const AXElement& systemWide, Point point,
                               ProcessID pid) {
    const auto hit = accessibility.copyElementAtPosition(systemWide, point);
    if (!hit) return std::nullopt;
    const auto owner = accessibility.getPid(*hit);
    if (!owner || *owner != pid) return std::nullopt;
    return *hit;
}

} // namespace

std::optional<std::string> string(platform::Accessibility& accessibility, const AXElement& element,
                                  std::string_view attribute) {
    const auto value = accessibility.copyAttributeValue(element, attribute);
    if (!value) return std::nullopt;
    if (const auto* text = std::get_if<std::string>(&*value)) return *text;
    return std::nullopt;
}

bool isSafeToHold(platform::Accessibility& accessibility, const AXElement& element) {
    const std::optional<std::string> ownRole = string(accessibility, element, role);
    if (!ownRole) return false;
    if (isAmong(draggableRoles, *ownRole)) return true;
    if (*ownRole != platform::AXNames::groupRole) return false;

    const auto actions = accessibility.copyActionNames(element);
    const std::vector<std::string> none;
    for (const std::string& action : actions ? *actions : none)
        if (!isAmong(harmlessActions, action)) return false;

    // A harmless group is safe in the window, not in web content, where a page takes the press.
    AXElement current = element;
    for (int i = 0; i < parentWalkLimit; ++i) {
        const auto up = accessibility.copyAttributeValue(current, parent);
        const AXElement* next = up ? std::get_if<AXElement>(&*up) : nullptr;
        if (!next) return true;
        const std::optional<std::string> parentRole = string(accessibility, *next, role);
        if (parentRole == platform::AXNames::webAreaRole) return false;
        if (parentRole == platform::AXNames::windowRole) return true;
        current = *next;
    }
    return false;
}

std::optional<Point> grabPoint(platform::Accessibility& accessibility, const WindowInfo& window) {
    const AXElement systemWide = accessibility.createSystemWide();
    accessibility.setMessagingTimeout(systemWide, hitTestTimeout);

    const Rect& frame = window.frame;
    std::vector<double> xs;
    for (const double fraction : candidateFractions) {
        const double x = frame.minX() + fraction * frame.width();
        if (x - frame.minX() >= PlainBackground::leftMargin && frame.maxX() - x >= PlainBackground::rightMargin)
            xs.push_back(x);
    }
    for (const double offset : rowOffsets) {
        for (const double x : xs) {
            const Point point{x, frame.minY() + offset};
            const auto hit = hitOf(accessibility, systemWide, point, window.pid);
            if (hit && isSafeToHold(accessibility, *hit)) return point;
        }
    }
    return std::nullopt;
}

Task<std::optional<Point>> plainTitleBarPoint(platform::Platform platform, WindowInfo window) {
    if (!platform.screenCapture.preflightAccess()) co_return std::nullopt;

    const auto windows = co_await platform.screenCapture.shareableWindows(
        platform::ScreenCapture::ContentOptions{.excludingDesktopWindows = true, .onScreenWindowsOnly = true});
    if (!windows || std::none_of(windows->begin(), windows->end(),
                                 [&](const platform::ShareableWindow& w) { return w.windowID == window.id; }))
        co_return std::nullopt;

    const Rect& frame = window.frame;
    // A picture is asked for in whole pixels; a frame no picture could have is no window to look at.
    if (!(frame.width() >= 1 && frame.width() <= maxPictureSide && frame.height() >= 1 &&
          frame.height() <= maxPictureSide))
        co_return std::nullopt;
    const auto picture = co_await platform.screenCapture.capture(
        window.id, platform::ScreenCapture::CaptureOptions{.width = static_cast<int>(frame.width()),
                                                           .height = static_cast<int>(frame.height()),
                                                           .showsCursor = false,
                                                           .ignoresShadow = true});
    if (!picture) co_return std::nullopt;

    platform::Accessibility& accessibility = platform.accessibility;
    const AXElement systemWide = accessibility.createSystemWide();
    for (const double offset : rowOffsets) {
        const std::optional<Point> candidate = PlainBackground::spot(*picture, frame, offset);
        if (!candidate) continue;
        const auto hit = hitOf(accessibility, systemWide, *candidate, window.pid);
        if (!hit) continue;
        // The bar's bare background often reports no role of its own; the picture vouches for it.
        if (string(accessibility, *hit, role) == platform::AXNames::unknownRole || isSafeToHold(accessibility, *hit))
            co_return *candidate;
    }
    co_return std::nullopt;
}

} // namespace qw::SpaceMover
