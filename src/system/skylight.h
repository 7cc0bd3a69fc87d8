#pragma once

#include "model/ids.h"
#include "model/space_info.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace qw::platform {
class DesktopFunctions;
class Workspace;
} // namespace qw::platform

namespace qw {

// The window server's private desktop functions, reached by name at run time, and their replies
// turned into desktop records. When the framework or a function is missing, every answer is empty.
//
// The framework is loaded on first use and each function is looked up at most once, on its first
// use; an absent function stays absent for the rest of the run. Nothing else is kept: every call
// asks the window server afresh. The app has one SkyLight and shares it.
class SkyLight {
public:
    // The desktops of one display.
    struct DisplaySpaces {
        SpaceID current = 0;            // the space shown now; 0 when not reported
        std::vector<SpaceInfo> spaces;  // in the order reported, without nicknames

        bool operator==(const DisplaySpaces&) const = default;
    };
    // Keyed by "Display Identifier": a display's UUID, or "Main" when all displays share desktops.
    using SpacesByDisplay = std::map<std::string, DisplaySpaces, std::less<>>;

    static constexpr const char* frameworkPath = "/System/Library/PrivateFrameworks/SkyLight.framework/SkyLight";
    // The selector for SLSCopySpacesForWindows: current, other and all spaces of the window.
    static constexpr std::int32_t allSpacesSelector = 7;

    SkyLight(platform::DesktopFunctions& functions, platform::Workspace& workspace);
    SkyLight(const SkyLight&) = delete;
    SkyLight& operator=(const SkyLight&) = delete;

    // The desktops of every display, with the one shown on each.
    SpacesByDisplay spacesByDisplay() const;
    // The ids of the spaces the window belongs to, in the order returned; several for a window on
    // every desktop; empty when the system reports none.
    std::vector<SpaceID> spacesForWindow(WindowID window) const;

private:
    // One function of the framework, resolved once.
    struct Symbol {
        explicit Symbol(const char* symbolName) : name(symbolName) {}
        const char* name;
        mutable std::once_flag once;
        mutable bool present = false;
    };

    bool resolve(const Symbol& symbol) const;
    std::int32_t connection() const;

    platform::DesktopFunctions& functions_;
    platform::Workspace& workspace_;

    mutable std::once_flag frameworkOnce_;
    mutable bool frameworkLoaded_ = false;
    Symbol mainConnectionID_{"SLSMainConnectionID"};
    Symbol copyManagedDisplaySpaces_{"SLSCopyManagedDisplaySpaces"};
    Symbol copySpacesForWindows_{"SLSCopySpacesForWindows"};
};

} // namespace qw
