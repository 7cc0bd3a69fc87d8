#pragma once

#include "model/result.h"
#include "platform/notification_center.h"
#include "platform/sim/world.h"

#include <vector>

// The changes that happen to a simulated Mac, as pure functions of the world: displays come and go,
// apps open and quit, windows move and close, another desktop is shown. Each returns what the real
// system would do besides: the notifications it posts and the events it sets off for later. A
// change that does not fit the world (a display that is not connected, ...) fails with a sentence
// and leaves the world as it was.
namespace qw::sim {

enum class Centre {
    application, // the application's default notification centre
    workspace,   // NSWorkspace's notification centre
};

struct Posting {
    Centre centre = Centre::application;
    platform::Notification notification;
    bool operator==(const Posting&) const = default;
};

struct Effects {
    std::vector<Posting> postings;
    std::vector<TimelineEvent> followUps; // `at` counts from the moment of the change

    void add(Effects&& other);
    bool operator==(const Effects&) const = default;
};

using Change = Result<Effects>;

// Displays (display_changes.cpp).
Change connectDisplay(World& world, const Display& display);
// The display's windows move to the main display (its desktops' windows to the main display's
// shown desktop, its full-screen spaces along with them); when the main display goes, the next one
// takes the menu bar and the coordinates follow it.
Change disconnectDisplay(World& world, DisplayID id);
// A new arrangement or resolution: the display's windows move with it, and the main display stays
// at the origin (moving it moves every other display the other way).
Change moveDisplay(World& world, DisplayID id, const Rect& frame);
Change showDesktop(World& world, DisplayID display, SpaceID space);

// Apps (app_changes.cpp). `now` is the wall clock, for launch dates.
Change launchApp(World& world, const std::string& path, Timestamp now);
Change finishLaunch(World& world, ProcessID pid, Timestamp now);
Change quitApp(World& world, ProcessID pid);
Change sleep(World& world);
Change wake(World& world);

// Windows (window_changes.cpp).
Change moveWindow(World& world, WindowID id, const Rect& frame);
Change closeWindow(World& world, WindowID id);
// Removes a full-screen space (its app quit or its last window closed); a display showing it goes
// back to its first desktop, and windows left in it move there.
void removeFullscreenSpace(World& world, SpaceID space, Effects& effects);

// Any timeline event.
Change applyEvent(World& world, const Event& event, Timestamp now);

// The next process id and window number, never reusing one handed out before.
ProcessID allocatePID(World& world);
WindowID allocateWindowID(World& world);

} // namespace qw::sim
