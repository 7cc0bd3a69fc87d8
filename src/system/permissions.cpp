#include "system/permissions.h"

#include "platform/accessibility.h"
#include "platform/preferences.h"
#include "platform/screen_capture.h"
#include "platform/workspace.h"

#include <string>

namespace qw {

namespace {

bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Unreserved and reserved characters of a URI; anything else has to be percent-escaped.
bool isURLCharacter(char c) {
    if (isAsciiAlpha(c) || isAsciiDigit(c)) return true;
    constexpr std::string_view allowed = "-._~:/?#[]@!$&'()*+,;=";
    return allowed.find(c) != std::string_view::npos;
}

} // namespace

bool isValidURL(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isAsciiAlpha(text[0])) return false;
    for (const char c : text.substr(0, colon))
        if (!isAsciiAlpha(c) && !isAsciiDigit(c) && c != '+' && c != '-' && c != '.') return false;
    for (std::size_t i = colon + 1; i < text.size(); ++i) {
        if (text[i] == '%') {
            if (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2])) return false;
            i += 2;
        } else if (!isURLCharacter(text[i])) {
            return false;
        }
    }
    return true;
}

Permissions::Permissions(platform::Platform platform) : platform_(platform) { check(); }

void Permissions::check() {
    accessibility_.set(platform_.accessibility.isProcessTrusted());
    screenRecording_.set(platform_.screenCapture.preflightAccess());

    // The system's default is on, so only a stored false turns it off.
    platform_.preferences.synchronize(dockDomain);
    const auto stored = platform_.preferences.copyValue(rearrangeSpacesKey, dockDomain);
    rearrangesSpaces_.set(stored ? stored->asBool().value_or(true) : true);
}

void Permissions::open(std::string_view anchor) {
    const std::string url = std::string(securitySettingsURL) + std::string(anchor);
    if (isValidURL(url)) platform_.workspace.openURL(url);
}

void Permissions::openDesktopAndDockSettings() { platform_.workspace.openURL(desktopAndDockSettingsURL); }

void Permissions::requestAccessibility() {
    platform_.accessibility.isProcessTrustedWithOptions(true);
    open(accessibilityAnchor);
}

void Permissions::requestScreenRecording() {
    platform_.screenCapture.requestAccess();
    open(screenCaptureAnchor);
}

} // namespace qw
