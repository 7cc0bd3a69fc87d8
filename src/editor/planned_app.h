#pragma once

#include <optional>
#include <string>

namespace qw {

// An app placed on the canvas that is not open yet; Apply opens it.
struct PlannedApp {
    std::string url; // the application bundle's file URL, held as its path ("/Applications/Mail.app")
    std::string name;
    std::optional<std::string> bundleID;

    bool operator==(const PlannedApp&) const = default;
};

} // namespace qw
