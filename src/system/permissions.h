#pragma once

#include "model/observable.h"
#include "platform/platform.h"

#include <string_view>

namespace qw {

// What the system lets Quiltwright do, and whether it reorders desktops by recent use (which makes
// desktop numbers unstable). The values are read at construction and by each check(); asking for a
// permission changes nothing here until the next check.
class Permissions {
public:
    static constexpr const char* securitySettingsURL = "x-apple.systempreferences:com.apple.preference.security?";
    static constexpr const char* desktopAndDockSettingsURL = "x-apple.systempreferences:com.apple.Desktop-Settings.extension";
    static constexpr const char* accessibilityAnchor = "Privacy_Accessibility";
    static constexpr const char* screenCaptureAnchor = "Privacy_ScreenCapture";
    static constexpr const char* dockDomain = "com.apple.dock";
    static constexpr const char* rearrangeSpacesKey = "mru-spaces";

    explicit Permissions(platform::Platform platform);
    Permissions(const Permissions&) = delete;
    Permissions& operator=(const Permissions&) = delete;

    // May control other apps through Accessibility.
    bool accessibility() const { return accessibility_.value(); }
    // May take pictures of windows.
    bool screenRecording() const { return screenRecording_.value(); }
    // "Automatically rearrange Spaces based on most recent use" is on.
    bool rearrangesSpaces() const { return rearrangesSpaces_.value(); }

    // Each is told only when its value changes.
    Subscription observeAccessibility(Observable<bool>::Observer o) const { return accessibility_.subscribe(std::move(o)); }
    Subscription observeScreenRecording(Observable<bool>::Observer o) const { return screenRecording_.subscribe(std::move(o)); }
    Subscription observeRearrangesSpaces(Observable<bool>::Observer o) const { return rearrangesSpaces_.subscribe(std::move(o)); }

    // Re-reads all three values, without prompting.
    void check();

    // Opens the security settings at the anchor; nothing happens when that does not make a valid URL.
    void open(std::string_view anchor);
    void openDesktopAndDockSettings();
    // Shows the system's Accessibility prompt, then the Accessibility privacy pane.
    void requestAccessibility();
    // Asks for screen-capture access, then shows the Screen Recording privacy pane.
    void requestScreenRecording();

private:
    platform::Platform platform_;
    Observable<bool> accessibility_{false};
    Observable<bool> screenRecording_{false};
    Observable<bool> rearrangesSpaces_{false};
};

// A URL the system can parse: a scheme, a colon, and only characters a URL may hold (no spaces,
// controls or non-ASCII bytes; "%" only as the start of an escape).
bool isValidURL(std::string_view text);

} // namespace qw
