#pragma once

#include "model/rect.h"
#include "model/window_info.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "platform/task.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace qw {

class Inventory;

namespace platform {
class UserDefaults;
class Workspace;
} // namespace platform

// Opens an application that a restore or an editor action needs, waits for the window it shows
// (through a launcher app if need be), and puts that window at a frame, placing it again when the
// app moves it back. It remembers which apps it opened in the last moments, so that the automatic
// restore does not answer launches Quiltwright caused, and, in the user defaults, which real app a
// launcher turned out to open. Everything runs on the main loop.
namespace AppLauncher {

// A window was found and stays at the requested position within the tolerance; the window as last
// read, and a note when its size did not hold.
struct Placed {
    WindowInfo window;
    std::optional<std::string> note;
    bool operator==(const Placed&) const = default;
};
// The app opened but no window could be placed.
struct NoWindow {
    std::string sentence;
    bool operator==(const NoWindow&) const = default;
};
// The app did not open, the window refused the move, or the app kept moving it back.
struct Failed {
    std::string sentence;
    bool operator==(const Failed&) const = default;
};
using Outcome = std::variant<Placed, NoWindow, Failed>;

namespace Timing {
using std::chrono::milliseconds;
using std::chrono::seconds;
inline constexpr Duration justOpenedFor = seconds(20);
inline constexpr Duration betweenSearches = milliseconds(250); // also the first wait
inline constexpr int searches = 80;
inline constexpr Duration settling = milliseconds(700);
inline constexpr Duration afterPlacement = seconds(1);
inline constexpr int placements = 3;
// Other apps' windows count only this long after the open request returned (a launcher's app)...
inline constexpr Duration otherAppsAfter = seconds(3);
// ...and only when their app launched no earlier than this before the request.
inline constexpr Duration launchDateSlack = seconds(1);
} // namespace Timing

// Position and size of a placed window count as held within this many points.
inline constexpr double placementTolerance = 4;

// Opens the app at `appPath` and places its window at `frame` (global coordinates). The Inventory
// is refreshed along the way.
Task<Outcome> open(platform::Platform platform, std::string appPath, Rect frame, Inventory& inventory);

// The key the launcher names an app by: the bundle's identifier, else its display name without
// ".app".
std::string appKey(platform::Workspace& workspace, const std::string& appPath);

// `open` started or finished for the app less than 20 seconds before `now`.
bool justOpened(std::string_view appKey, WallTime now);
// When `open` last started or finished, by app key; entries are overwritten, never removed.
const std::map<std::string, WallTime, std::less<>>& recentlyOpened();
// Records that `open` started or finished for the app at `now`.
void noteOpened(const std::string& appKey, WallTime now);
// Empties the record above (a fresh start: a new session, a test).
void forgetRecentlyOpened();

// The app a launcher at `path` turned out to open, as stored under "launcherApps"; none without a
// path (the defaults are then not read), without a pair, or when the stored value is unreadable.
std::optional<std::string> launchedAppKey(platform::UserDefaults& defaults, const std::optional<std::string>& path);
// Stores the pair under "launcherApps", keeping the others (an unreadable value starts afresh).
void remember(platform::UserDefaults& defaults, const std::string& launcherPath, const std::string& appKey);

} // namespace AppLauncher

} // namespace qw
