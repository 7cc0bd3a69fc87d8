// The built-in world: a laptop with an external monitor on its right, a morning's work spread over
// several desktops, and the quirks a real Mac shows (a full-screen app, a window on every desktop, a
// minimized window, a hidden app, a menu-bar app, the Dock and the desktop icons on their layers).

#include "platform/sim/simulated_mac.h"

#include <climits>

namespace qw::sim {

namespace {

using platform::PropertyValue;

constexpr std::int32_t desktopIconLayer = INT_MIN + 40; // kCGDesktopIconWindowLevel
constexpr std::int32_t dockLayer = 20;                  // kCGDockWindowLevel
constexpr std::int32_t statusLayer = 25;                // kCGStatusWindowLevel

constexpr ProcessID dock = 390, finder = 401, safari = 512, mail = 530, xcode = 611, notes = 640, music = 655,
                    messages = 688, terminal = 720, itsycal = 745;

Timestamp at(const char* text) { return *parseTimestamp(text); }

App launchedApp(std::string name, std::string bundleID, std::string path, ProcessID pid, const char* launched) {
    App app;
    app.name = std::move(name);
    app.bundleID = std::move(bundleID);
    app.path = std::move(path);
    app.running = true;
    app.pid = pid;
    app.launchDate = at(launched);
    return app;
}

App notRunningApp(std::string name, std::string bundleID, std::string path) {
    App app;
    app.name = std::move(name);
    app.bundleID = std::move(bundleID);
    app.path = std::move(path);
    return app;
}

Window window(WindowID id, ProcessID pid, std::string title, Rect frame, std::vector<SpaceID> spaces) {
    Window w;
    w.id = id;
    w.pid = pid;
    w.title = std::move(title);
    w.frame = frame;
    w.spaces = std::move(spaces);
    return w;
}

PropertyValue hotKey(int keyCode) {
    // Control and the arrow key, as the system stores "Move left a space" and "Move right a space".
    return PropertyValue::Dictionary{
        {"enabled", true},
        {"value", PropertyValue::Dictionary{{"parameters", PropertyValue::Array{65535, keyCode, 8650752}},
                                            {"type", "standard"}}}};
}

} // namespace

World demoWorld() {
    World world;
    world.now = at("2026-01-05T09:30:00Z");

    // The laptop: desktops 1 and 2, Safari full screen, desktop 3; its Dock at the bottom.
    Display laptop;
    laptop.id = 1;
    laptop.uuid = "37D8832A-2D66-02CA-B9F7-8F30A301B230";
    laptop.vendor = 1552;
    laptop.model = 41008;
    laptop.name = "Built-in Retina Display";
    laptop.frame = Rect(0, 0, 1512, 982);
    laptop.visibleFrame = Rect(0, 25, 1512, 887);
    laptop.main = true;
    laptop.spaces = {Space{1, "", false, {}}, Space{3, "5E1B5B4C-92A7-4C1E-8F0D-6B2C9A3E7D10", false, {}},
                     Space{6, "A0C4E2F1-3B5D-4F6A-8C9E-1D2B3C4D5E6F", true, safari},
                     Space{8, "C7D1E9A2-4F3B-4A5C-9D8E-2F1A0B3C4D5E", false, {}}};
    laptop.currentSpace = 1;

    // The external monitor on the right, bottoms aligned.
    Display external;
    external.id = 722474580;
    external.uuid = "8F3C2E51-6A3B-4D2E-9C51-3A7F0B6E2D14";
    external.vendor = 7789;
    external.model = 23305;
    external.serial = 16843009;
    external.name = "LG UltraFine";
    external.frame = Rect(1512, -458, 2560, 1440);
    external.visibleFrame = defaultVisibleFrame(external.frame);
    external.spaces = {Space{4, "E2B7C1D3-5A6F-4B8C-9E0D-3F2A1B4C5D6E", false, {}},
                       Space{5, "F1A2B3C4-D5E6-4F70-8192-A3B4C5D6E7F8", false, {}}};
    external.currentSpace = 5;
    world.displays = {laptop, external};

    App dockApp = launchedApp("Dock", "com.apple.dock", "/System/Library/CoreServices/Dock.app", dock,
                             "2026-01-05T08:12:03Z");
    dockApp.regular = false;
    App finderApp = launchedApp("Finder", "com.apple.finder", "/System/Library/CoreServices/Finder.app", finder,
                               "2026-01-05T08:12:04Z");
    App safariApp = launchedApp("Safari", "com.apple.Safari", "/Applications/Safari.app", safari, "2026-01-05T08:20:41Z");
    App mailApp = launchedApp("Mail", "com.apple.mail", "/System/Applications/Mail.app", mail, "2026-01-05T08:21:10Z");
    App xcodeApp = launchedApp("Xcode", "com.apple.dt.Xcode", "/Applications/Xcode.app", xcode, "2026-01-05T08:35:52Z");
    xcodeApp.behaviour.minSize = Size{800, 500};
    App notesApp = launchedApp("Notes", "com.apple.Notes", "/System/Applications/Notes.app", notes, "2026-01-05T08:40:17Z");
    App musicApp = launchedApp("Music", "com.apple.Music", "/System/Applications/Music.app", music, "2026-01-05T08:41:30Z");
    musicApp.hidden = true;
    App messagesApp = launchedApp("Messages", "com.apple.MobileSMS", "/System/Applications/Messages.app", messages,
                                 "2026-01-05T08:44:02Z");
    App terminalApp = launchedApp("Terminal", "com.apple.Terminal", "/System/Applications/Utilities/Terminal.app",
                                 terminal, "2026-01-05T09:02:45Z");
    terminalApp.behaviour.minSize = Size{400, 200};
    App itsycalApp = launchedApp("Itsycal", "com.mowglii.ItsycalApp", "/Applications/Itsycal.app", itsycal,
                                "2026-01-05T08:12:09Z");
    itsycalApp.regular = false;

    App calendar = notRunningApp("Calendar", "com.apple.iCal", "/System/Applications/Calendar.app");
    calendar.opensWindows = {OpenedWindow{"Calendar", Rect(160, 90, 1100, 760)}};
    calendar.launchDelay = 1.5;
    App textEdit = notRunningApp("TextEdit", "com.apple.TextEdit", "/System/Applications/TextEdit.app");
    textEdit.opensWindows = {OpenedWindow{"Untitled", std::nullopt}};
    App idea = notRunningApp("IntelliJ IDEA", "com.jetbrains.intellij", "/Applications/IntelliJ IDEA.app");
    idea.opensWindows = {OpenedWindow{"Welcome to IntelliJ IDEA", Rect(356, 191, 800, 650)}};
    idea.launchDelay = 6;
    idea.behaviour.snapsBack = true;
    App toolbox = notRunningApp("JetBrains Toolbox", "com.jetbrains.toolbox", "/Applications/JetBrains Toolbox.app");
    toolbox.launches = "/Applications/IntelliJ IDEA.app";
    toolbox.opensWindows.clear();
    toolbox.launchDelay = 2;

    world.apps = {dockApp,     finderApp,   safariApp, mailApp, xcodeApp, notesApp, musicApp,
                  messagesApp, terminalApp, itsycalApp, calendar, textEdit, idea,    toolbox};

    const std::vector<SpaceID> laptopDesktops{1, 3, 8};
    Window statusItem = window(118, itsycal, "Item-0", Rect(1330, 0, 28, 25), laptopDesktops);
    statusItem.layer = statusLayer;
    Window dockBar = window(64, dock, "Dock", Rect(300, 912, 912, 70), laptopDesktops);
    dockBar.layer = dockLayer;
    Window notesWindow = window(241, notes, "Groceries", Rect(200, 200, 700, 500), {1});
    notesWindow.minimized = true;
    Window laptopIcons = window(46, finder, "", laptop.frame, laptopDesktops);
    laptopIcons.layer = desktopIconLayer;
    Window externalIcons = window(47, finder, "", external.frame, {4, 5});
    externalIcons.layer = desktopIconLayer;

    world.windows = {
        statusItem,
        dockBar,
        window(312, xcode, "Quiltwright — inventory.cpp", Rect(1600, -420, 1800, 1150), {5}),
        window(287, mail, "Inbox – 3 messages", Rect(2900, -300, 1100, 800), {5}),
        window(266, messages, "Messages", Rect(1000, 120, 480, 600), laptopDesktops),
        window(205, finder, "Downloads", Rect(80, 140, 900, 560), {1}),
        notesWindow,
        window(255, music, "Music", Rect(300, 150, 1000, 650), {1}),
        window(330, terminal, "~ — zsh — 80×24", Rect(120, 100, 720, 460), {3}),
        window(229, safari, "Release Notes", Rect(60, 60, 1300, 850), {8}),
        window(224, safari, "WWDC Keynote", laptop.frame, {6}),
        window(318, xcode, "Quiltwright — Package.swift", Rect(1700, -380, 1400, 1000), {4}),
        laptopIcons,
        externalIcons,
    };

    // The user's names for two desktops: one by its UUID, one (the laptop's first desktop, which
    // has none) by its display and position.
    world.defaults = PropertyValue::Dictionary{
        {"desktopNames", PropertyValue::Dictionary{{"5E1B5B4C-92A7-4C1E-8F0D-6B2C9A3E7D10", "Research"},
                                                   {"37D8832A-2D66-02CA-B9F7-8F30A301B230#1", "Home"}}}};
    world.preferences = {
        {"com.apple.dock", PropertyValue::Dictionary{{"mru-spaces", false}}},
        {"com.apple.symbolichotkeys",
         PropertyValue::Dictionary{{"AppleSymbolicHotKeys", PropertyValue::Dictionary{{"79", hotKey(123)},
                                                                                      {"81", hotKey(124)}}}}},
    };
    return world;
}

} // namespace qw::sim
