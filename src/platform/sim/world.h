#pragma once

#include "model/ids.h"
#include "model/rect.h"
#include "model/timestamp.h"
#include "platform/login_items.h"
#include "platform/property_value.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// The state of a simulated Mac: what its displays, desktops, apps and windows are at one moment.
// Plain values; the services in this folder answer the platform's calls from it, and the timeline
// events change it. Every member maps onto a member of the world file (docs/world-file.md).
namespace qw::sim {

using platform::PropertyValue;

// One desktop (Space) of a display.
struct Space {
    SpaceID id = 0;
    std::string uuid;              // empty: the system reports none (often so for a display's first desktop)
    bool fullscreen = false;
    std::optional<ProcessID> pid;  // the app that owns a full-screen space; none for an ordinary desktop

    bool operator==(const Space&) const = default;
};

struct Display {
    DisplayID id = 0;
    std::optional<std::string> uuid; // absent: the system gives no UUID for it
    std::uint32_t vendor = 0;
    std::uint32_t model = 0;
    std::uint32_t serial = 0;
    std::string name;                // the screen's localized name
    Rect frame;                      // global top-left-origin coordinates
    Rect visibleFrame;               // the frame less the menu bar (and a Dock, if any)
    bool main = false;               // holds the menu bar; its frame starts at the origin
    bool screen = true;              // AppKit lists an NSScreen for it
    std::vector<Space> spaces;       // Mission Control order
    SpaceID currentSpace = 0;        // 0 when the display lists no spaces

    bool operator==(const Display&) const = default;
};

// An element across an app's title bars (for hit-testing and pictures), relative to the window.
struct TitleBarElement {
    std::string role;
    Rect frame;
    std::vector<std::string> actions;

    bool operator==(const TitleBarElement&) const = default;
};

// How an app treats the requests made of it through Accessibility. Each is optional; the defaults
// are a well-behaved app.
struct AppBehaviour {
    std::optional<std::int32_t> refusesMove; // the Accessibility error it returns for "AXPosition"
    bool notResponding = false;              // every Accessibility call times out with -25204
    bool fixedSize = false;                  // "AXSize" is not settable
    std::optional<Size> minSize;
    std::optional<Size> maxSize;
    Point offset;                            // added to every position it is given
    bool snapsBack = false;                  // puts its windows back shortly after each move
    bool hidesWindows = false;               // windows reachable only as the focused window
    bool enhancedUserInterface = false;
    std::optional<std::vector<TitleBarElement>> titleBar; // absent: a plain title bar
    bool undraggable = false;                // holding its title bar does not drag the window

    bool operator==(const AppBehaviour&) const = default;
};

// A window an app shows when it is opened.
struct OpenedWindow {
    std::string title;
    std::optional<Rect> frame; // absent: the system centres it on the main display

    bool operator==(const OpenedWindow&) const = default;
};

inline constexpr Size defaultOpenedWindowSize{800, 600};
inline constexpr double defaultLaunchDelay = 1.0;

// An installed application, running or not.
struct App {
    std::string name;
    std::optional<std::string> bundleID;
    std::string path;                 // the bundle's path
    bool running = false;
    ProcessID pid = 0;                // when running
    bool regular = true;              // an ordinary app with a Dock icon; false: an accessory (menu-bar) app
    bool hidden = false;
    std::optional<Timestamp> launchDate; // when running
    std::vector<OpenedWindow> opensWindows{OpenedWindow{}};
    double launchDelay = defaultLaunchDelay; // seconds from the request to its windows
    std::optional<std::string> launches; // a launcher: the path of the app it opens instead
    AppBehaviour behaviour;

    bool operator==(const App&) const = default;
};

struct Window {
    WindowID id = 0;
    ProcessID pid = 0;
    std::string title;
    Rect frame;
    std::vector<SpaceID> spaces; // several for a window on every desktop
    bool minimized = false;
    std::int32_t layer = 0;      // below 0: desktop elements (wallpaper, desktop icons)
    double alpha = 1;

    bool operator==(const Window&) const = default;
};

// ServiceManagement's main app service.
struct LoginItem {
    platform::LoginItems::Status status = platform::LoginItems::Status::notRegistered;
    bool requiresApproval = false;    // registering leaves it waiting for the user's approval
    std::optional<std::string> error; // registering and unregistering fail with this description
    int settingsOpened = 0;           // times the Login Items settings were opened

    bool operator==(const LoginItem&) const = default;
};

// Timeline events: what happens by itself at a given world time.
namespace events {
struct ConnectDisplay {
    Display display;
    bool operator==(const ConnectDisplay&) const = default;
};
struct DisconnectDisplay {
    DisplayID id = 0;
    bool operator==(const DisconnectDisplay&) const = default;
};
struct MoveDisplay {
    DisplayID id = 0;
    Rect frame;
    bool operator==(const MoveDisplay&) const = default;
};
struct Sleep {
    bool operator==(const Sleep&) const = default;
};
struct Wake {
    bool operator==(const Wake&) const = default;
};
struct LaunchApp { // a user opens the app at `path`
    std::string path;
    bool operator==(const LaunchApp&) const = default;
};
// What a launch leaves pending: the app has finished starting and shows its windows (or, for a
// launcher, opens the app it launches).
struct FinishLaunch {
    ProcessID pid = 0;
    bool operator==(const FinishLaunch&) const = default;
};
struct QuitApp {
    ProcessID pid = 0;
    bool operator==(const QuitApp&) const = default;
};
struct MoveWindow {
    WindowID id = 0;
    Rect frame;
    bool operator==(const MoveWindow&) const = default;
};
struct CloseWindow {
    WindowID id = 0;
    bool operator==(const CloseWindow&) const = default;
};
struct ShowDesktop {
    DisplayID display = 0;
    SpaceID space = 0;
    bool operator==(const ShowDesktop&) const = default;
};
} // namespace events

using Event = std::variant<events::ConnectDisplay, events::DisconnectDisplay, events::MoveDisplay, events::Sleep,
                           events::Wake, events::LaunchApp, events::FinishLaunch, events::QuitApp,
                           events::MoveWindow, events::CloseWindow, events::ShowDesktop>;

struct TimelineEvent {
    double at = 0; // seconds of world time after `now`
    Event event;

    bool operator==(const TimelineEvent&) const = default;
};

// The fixed date a world starts at unless it says otherwise.
Timestamp defaultWorldStart();
inline constexpr ProcessID defaultProcessID = 1000;
inline constexpr double menuBarHeight = 25;

struct World {
    Timestamp now = defaultWorldStart();
    ProcessID processID = defaultProcessID; // this process: the product itself, an accessory app
    bool accessibility = true;
    bool screenRecording = true;
    bool separateSpaces = true;
    bool desktopFunctions = true;
    bool asleep = false;
    std::vector<Display> displays;  // in the order the system lists them
    std::vector<App> apps;
    std::vector<Window> windows;    // front to back
    PropertyValue::Dictionary defaults;
    std::map<std::string, PropertyValue::Dictionary, std::less<>> preferences; // by domain
    LoginItem loginItem;
    // What the product asked of the system, so that runs and tests can see it.
    std::vector<std::string> openedURLs;
    int accessibilityPrompts = 0;
    int screenCaptureRequests = 0;
    // The highest process id and window number handed out so far; new ones continue from there.
    ProcessID lastPID = 0;
    WindowID lastWindowID = 0;
    std::vector<TimelineEvent> timeline; // pending, in the order given

    bool operator==(const World&) const = default;
};

// ---- Questions about a world ------------------------------------------------------------------------
// Linear in what they walk; none keeps state.

const Display* mainDisplay(const World& world);
Display* mainDisplay(World& world);
const Display* findDisplay(const World& world, DisplayID id);
Display* findDisplay(World& world, DisplayID id);
const App* runningApp(const World& world, ProcessID pid);
App* runningApp(World& world, ProcessID pid);
const App* installedApp(const World& world, std::string_view path);
const Window* findWindow(const World& world, WindowID id);

// The display whose frame has the largest intersection with `rect` (the earlier one on a tie), or
// none when it meets no display.
const Display* displayHolding(const World& world, const Rect& rect);
// The display whose spaces include `space`.
const Display* displayListing(const World& world, SpaceID space);

// The frame less the menu bar at its top.
Rect defaultVisibleFrame(const Rect& frame);
// The first ordinary desktop, or 0 when there is none.
SpaceID firstDesktop(const Display& display);

// The spaces shown now: each display's current space; with shared desktops the main display's
// current space is shown on every display.
std::vector<SpaceID> shownSpaces(const World& world);
// The space a window placed at `frame` now joins: the shown desktop of the display holding it (of
// the main display when it meets none, or when displays share their desktops); 0 without one.
SpaceID spaceForNewWindow(const World& world, const Rect& frame);

// As the window server derives it: not minimized, its app not hidden, and on a space being shown.
bool isOnScreen(const Window& window, const App* app, const std::vector<SpaceID>& shown);
// The frontmost on-screen window of a running app whose frame holds the point, leaving out desktop
// elements (layers below 0): the window a click or a hit test there meets.
const Window* frontmostWindowAt(const World& world, Point position);

} // namespace qw::sim
