#pragma once

#include "model/ids.h"

namespace qw {
class MainLoop;
}

namespace qw::platform {

class Accessibility;
class DesktopFunctions;
class Input;
class LoginItems;
class NotificationCenter;
class PreferenceDomains;
class ScreenCapture;
class Screens;
class UserDefaults;
class WindowServer;
class Workspace;

// Every service the product asks of the system, in one place. A backend (the simulated Mac here,
// the real system elsewhere) owns the services; subsystems hold this by value and reach through it.
struct Platform {
    MainLoop& loop;
    WindowServer& windowServer;
    DesktopFunctions& desktopFunctions;
    Screens& screens;
    Workspace& workspace;
    NotificationCenter& notifications;          // the application's default centre
    NotificationCenter& workspaceNotifications; // NSWorkspace's centre
    PreferenceDomains& preferences;
    UserDefaults& defaults;
    Accessibility& accessibility;
    ScreenCapture& screenCapture;
    LoginItems& loginItems;
    Input& input;                               // synthetic keyboard and mouse events, the pointer
    ProcessID processID; // this process
};

} // namespace qw::platform
