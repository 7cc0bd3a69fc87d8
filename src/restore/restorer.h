#pragma once

#include "model/display_info.h"
#include "model/rect.h"
#include "model/saved_layout.h"
#include "model/space_info.h"
#include "restore/restore_plan.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qw {

class Inventory;

// Restore planning: pairs a layout's saved windows with open windows by a scored assignment and
// works out where each goes, which must change desktop, which apps must open, and what cannot be
// done. A pure function of its inputs.
namespace Restorer {

// What planning asks beyond the Inventory.
struct Apps {
    // The app key a launcher at a path turned out to open (AppLauncher::launchedAppKey); none when
    // it is not a known launcher.
    std::function<std::optional<std::string>(const std::string& path)> launchedAppKey;
    // Whether an application bundle is installed at a path.
    std::function<bool(const std::string& path)> exists;
};

// `desktops` allows carrying windows to other desktops and opening apps onto a chosen desktop.
// The Inventory is read as it is; refresh it first.
RestorePlan plan(const SavedLayout& layout, const Inventory& inventory, bool desktops, const Apps& apps);

// A saved frame moved, and scaled when the display's size differs, from a saved display to a
// connected one, capped to the visible frame and rounded outward to whole points. None when the
// saved display has no usable size (not positive and finite), as a damaged file may give, or the
// result is not finite.
std::optional<Rect> translate(const Rect& rect, const SavedDisplay& saved, const DisplayInfo& display);

// The ordinary desktop of `display` a saved window belongs to: by UUID, else by number among the
// ordinary desktops, else by index among all spaces.
std::optional<SpaceInfo> savedDesktop(const SavedWindow& saved, const DisplayInfo& display);

// "1 window", else "N windows" (also for none).
std::string count(const std::vector<std::string>& list);

// Equal names tallied, most frequent first then by name, joined with ", "; with `counts`, a tally
// above 1 follows as " ×N". Five or more distinct names show the first four and ", …".
std::string names(const std::vector<std::string>& list, bool counts);

} // namespace Restorer

} // namespace qw
