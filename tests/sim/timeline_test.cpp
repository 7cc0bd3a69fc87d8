#include "platform/clock.h"
#include "platform/notification_center.h"
#include "platform/sim/world_changes.h"
#include "platform/window_server.h"
#include "system/simulated_world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace qw {
namespace {

using sim::Centre;
using testing::SimulatedWorld;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace N = platform::Notifications;

// A laptop showing desktop 11 (12 beside it, Keynote full screen in 13) and an external display on
// its right showing 21 of 21 and 22. Calendar and the Toolbox that launches it are installed.
std::string timelineWorld(const std::string& timeline) {
    return R"({
      "now": "2026-03-02T09:00:00Z",
      "displays": [
        {"id": 1, "uuid": "LAPTOP", "main": true, "frame": [[0, 0], [1440, 900]],
         "spaces": [{"id": 11}, {"id": 12}, {"id": 13, "fullscreen": true, "pid": 300}]},
        {"id": 2, "uuid": "EXTERNAL", "frame": [[1440, 0], [1920, 1080]], "spaces": [{"id": 21}, {"id": 22}]}
      ],
      "apps": [
        {"name": "Notes", "bundleID": "com.apple.Notes", "path": "/Applications/Notes.app", "pid": 100},
        {"name": "Mail", "bundleID": "com.apple.mail", "path": "/Applications/Mail.app", "pid": 200},
        {"name": "Keynote", "path": "/Applications/Keynote.app", "pid": 300},
        {"name": "Calendar", "bundleID": "com.apple.iCal", "path": "/Applications/Calendar.app", "launchDelay": 3,
         "opensWindows": [{"title": "Calendar", "frame": [[1500, 100], [800, 600]]}, {"title": "Untitled"}]},
        {"name": "Toolbox", "path": "/Applications/Toolbox.app", "launches": "/Applications/Calendar.app",
         "launchDelay": 2, "opensWindows": []}
      ],
      "windows": [
        {"id": 1, "pid": 100, "title": "Groceries", "frame": [[100, 100], [600, 400]], "spaces": [11]},
        {"id": 2, "pid": 200, "title": "Inbox", "frame": [[1600, 200], [800, 600]], "spaces": [21]},
        {"id": 3, "pid": 200, "title": "Draft", "frame": [[1500, 100], [400, 300]], "spaces": [22]},
        {"id": 4, "pid": 300, "title": "Deck", "frame": [[0, 0], [1440, 900]], "spaces": [13]}
      ],
      "timeline": [)" + timeline + "]}";
}

// What a notification centre told its observers, and when (seconds of world time).
struct Heard {
    Centre centre;
    std::string name;
    double at = 0;
    bool operator==(const Heard&) const = default;
};

void PrintTo(const Heard& h, std::ostream* out) {
    *out << (h.centre == Centre::application ? "application " : "workspace ") << h.name << " at " << h.at;
}

// Listens on both centres for every notification the simulated Mac posts.
class Ear {
public:
    explicit Ear(SimulatedWorld& world) : world_(world) {
        auto platform = world.platform();
        listen(platform.notifications, Centre::application, N::screenParametersChanged);
        for (const char* name : {N::activeSpaceDidChange, N::didLaunchApplication, N::didTerminateApplication,
                                 N::didWake, N::willSleep})
            listen(platform.workspaceNotifications, Centre::workspace, name);
    }

    std::vector<Heard> heard;
    std::vector<platform::Notification> notifications;

private:
    void listen(platform::NotificationCenter& centre, Centre which, const char* name) {
        registrations_.push_back(centre.addObserver(name, [this, which](const platform::Notification& n) {
            heard.push_back(Heard{which, n.name, toSeconds(world_.loop().now())});
            notifications.push_back(n);
        }));
    }

    SimulatedWorld& world_;
    std::vector<platform::NotificationCenter::Registration> registrations_;
};

// Plays a world's timeline to its end.
struct Played {
    explicit Played(const std::string& timeline) : world(timelineWorld(timeline)), ear(world) {
        world.mac().startTimeline();
        world.loop().run();
    }
    const sim::World& now() const { return world.world(); }
    Rect frameOf(WindowID id) const { return sim::findWindow(now(), id)->frame; }
    std::vector<SpaceID> spacesOf(WindowID id) const { return sim::findWindow(now(), id)->spaces; }

    SimulatedWorld world;
    Ear ear;
};

std::vector<WindowID> windowIds(const sim::World& world) {
    std::vector<WindowID> ids;
    for (const auto& w : world.windows) ids.push_back(w.id);
    return ids;
}

// The windows the window server lists as on screen.
std::vector<WindowID> onScreen(SimulatedWorld& world) {
    std::vector<WindowID> ids;
    const auto list = world.platform().windowServer.copyWindowList(platform::WindowServer::ListOption::allWindows);
    for (const auto& entry : *list) {
        const auto& d = *entry.asDictionary();
        if (d.contains(platform::WindowKeys::isOnscreen))
            ids.push_back(*d.at(platform::WindowKeys::number).asUInt32());
    }
    return ids;
}

// ---- Notifications -------------------------------------------------------------------------------------

TEST(TimelineTest, EachEventPostsWhatAMacPostsOnItsCentreAtItsTime) {
    const Heard screens{Centre::application, N::screenParametersChanged, 4};
    const Heard space{Centre::workspace, N::activeSpaceDidChange, 4};
    struct Case {
        const char* event;
        std::vector<Heard> heard;
    };
    const Case cases[] = {
        {R"({"at": 4, "event": "connectDisplay", "display": {"id": 3, "frame": [[-800, 0], [800, 600]]}})", {screens}},
        {R"({"at": 4, "event": "disconnectDisplay", "id": 2})", {screens}},
        {R"({"at": 4, "event": "moveDisplay", "id": 2, "frame": [[1440, 200], [1920, 1080]]})", {screens}},
        {R"({"at": 4, "event": "sleep"})", {{Centre::workspace, N::willSleep, 4}}},
        {R"({"at": 4, "event": "wake"})", {{Centre::workspace, N::didWake, 4}}},
        {R"({"at": 4, "event": "launchApp", "path": "/Applications/Calendar.app"})",
         {{Centre::workspace, N::didLaunchApplication, 4}}},
        {R"({"at": 4, "event": "launchApp", "path": "/Applications/Notes.app"})", {}}, // running: it comes forward
        {R"({"at": 4, "event": "quitApp", "pid": 100})", {{Centre::workspace, N::didTerminateApplication, 4}}},
        {R"({"at": 4, "event": "moveWindow", "id": 1, "frame": [[0, 30], [600, 400]]})", {}},
        {R"({"at": 4, "event": "closeWindow", "id": 1})", {}},
        {R"({"at": 4, "event": "showDesktop", "display": 1, "space": 12})", {space}},
        {R"({"at": 4, "event": "showDesktop", "display": 1, "space": 11})", {}}, // shown already
        // The full-screen app quits while its space is shown: the display goes back to a desktop.
        {R"({"at": 2, "event": "showDesktop", "display": 1, "space": 13}, {"at": 4, "event": "quitApp", "pid": 300})",
         {{Centre::workspace, N::activeSpaceDidChange, 2}, {Centre::workspace, N::didTerminateApplication, 4}, space}},
        // So does closing the last window of a full-screen space being shown.
        {R"({"at": 2, "event": "showDesktop", "display": 1, "space": 13}, {"at": 4, "event": "closeWindow", "id": 4})",
         {{Centre::workspace, N::activeSpaceDidChange, 2}, space}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.event);
        Played played(c.event);
        EXPECT_EQ(played.ear.heard, c.heard);
    }
}

TEST(TimelineTest, LaunchAndTerminateTellWhichApp) {
    Played played(R"({"at": 1, "event": "launchApp", "path": "/Applications/Calendar.app"},
                           {"at": 2, "event": "quitApp", "pid": 200})");
    ASSERT_EQ(played.ear.notifications.size(), 2u);
    const auto& launched = played.ear.notifications[0].userInfo;
    EXPECT_EQ(launched.at("pid").asInt64(), sim::installedApp(played.now(), "/Applications/Calendar.app")->pid);
    EXPECT_EQ(*launched.at("NSApplicationBundleIdentifier").asString(), "com.apple.iCal");
    EXPECT_EQ(*launched.at("NSApplicationPath").asString(), "/Applications/Calendar.app");
    const auto& terminated = played.ear.notifications[1].userInfo;
    EXPECT_EQ(terminated.at("pid").asInt64(), 200);
    EXPECT_EQ(*terminated.at("NSApplicationName").asString(), "Mail");
}

TEST(TimelineTest, EventsAtOneTimeRunInTheFilesOrder) {
    Played played(R"({"at": 5, "event": "showDesktop", "display": 1, "space": 12},
                           {"at": 5, "event": "showDesktop", "display": 1, "space": 11},
                           {"at": 1, "event": "wake"})");
    EXPECT_EQ(played.now().displays[0].currentSpace, 11u);
    EXPECT_THAT(played.ear.heard, ElementsAre(Heard{Centre::workspace, N::didWake, 1},
                                              Heard{Centre::workspace, N::activeSpaceDidChange, 5},
                                              Heard{Centre::workspace, N::activeSpaceDidChange, 5}));
}

TEST(TimelineTest, AnHourOfWorldTimePassesWithoutWaiting) {
    Played played(R"({"at": 3600, "event": "sleep"}, {"at": 3610.5, "event": "wake"})");
    EXPECT_EQ(played.world.loop().now(), fromSeconds(3610.5));
    EXPECT_EQ(formatTimestamp(played.now().now), "2026-03-02T10:00:10Z");
    EXPECT_FALSE(played.now().asleep);
    EXPECT_EQ(played.ear.heard.back(), (Heard{Centre::workspace, N::didWake, 3610.5}));
}

// ---- Apps --------------------------------------------------------------------------------------------------

TEST(TimelineTest, ALaunchedAppShowsItsWindowsAfterItsLaunchDelay) {
    SimulatedWorld world(timelineWorld(R"({"at": 4, "event": "launchApp", "path": "/Applications/Calendar.app"})"));
    world.mac().startTimeline();

    world.loop().runFor(fromSeconds(4));
    const auto* calendar = sim::installedApp(world.world(), "/Applications/Calendar.app");
    ASSERT_TRUE(calendar->running);
    EXPECT_EQ(calendar->pid, 1001); // after every pid in use, this process's 1000 included
    EXPECT_EQ(formatTimestamp(*calendar->launchDate), "2026-03-02T09:00:04Z");
    EXPECT_THAT(windowIds(world.world()), ElementsAre(1u, 2u, 3u, 4u));

    world.loop().runFor(fromSeconds(2.999));
    EXPECT_EQ(world.world().windows.size(), 4u);

    world.loop().runFor(fromSeconds(0.001));
    const auto& windows = world.world().windows;
    ASSERT_EQ(windows.size(), 6u);
    // In front, in the order the app opens them, on the desktop shown where each one lies.
    EXPECT_EQ(windows[0].title, "Calendar");
    EXPECT_EQ(windows[0].pid, 1001);
    EXPECT_EQ(windows[0].frame, Rect(1500, 100, 800, 600));
    EXPECT_THAT(windows[0].spaces, ElementsAre(21u));
    EXPECT_EQ(windows[1].title, "Untitled");
    EXPECT_EQ(windows[1].frame, Rect(320, 162.5, 800, 600)); // centred in the main display's visible frame
    EXPECT_THAT(windows[1].spaces, ElementsAre(11u));
    EXPECT_NE(windows[0].id, windows[1].id);
    EXPECT_GT(windows[0].id, 4u);
    EXPECT_THAT(onScreen(world), ElementsAre(windows[0].id, windows[1].id, 1u, 2u));
}

TEST(TimelineTest, ALauncherOpensItsAppInsteadOfAWindow) {
    Played played(R"({"at": 1, "event": "launchApp", "path": "/Applications/Toolbox.app"})");
    // The Toolbox starts at 1 and opens Calendar when it has started, at 3; Calendar shows its
    // windows three seconds later.
    EXPECT_THAT(played.ear.heard, ElementsAre(Heard{Centre::workspace, N::didLaunchApplication, 1},
                                              Heard{Centre::workspace, N::didLaunchApplication, 3}));
    EXPECT_EQ(played.world.loop().now(), fromSeconds(6));
    const auto* toolbox = sim::installedApp(played.now(), "/Applications/Toolbox.app");
    const auto* calendar = sim::installedApp(played.now(), "/Applications/Calendar.app");
    ASSERT_TRUE(toolbox->running && calendar->running);
    EXPECT_EQ(played.now().windows.size(), 6u);
    for (const auto& w : played.now().windows) EXPECT_NE(w.pid, toolbox->pid);
}

TEST(TimelineTest, AnAppThatQuitsTakesItsWindowsAndFullScreenSpaceAlong) {
    Played played(R"({"at": 1, "event": "showDesktop", "display": 1, "space": 13},
                           {"at": 2, "event": "quitApp", "pid": 300}, {"at": 3, "event": "quitApp", "pid": 200})");
    EXPECT_THAT(windowIds(played.now()), ElementsAre(1u));
    const auto& laptop = played.now().displays[0];
    EXPECT_EQ(laptop.spaces.size(), 2u);
    EXPECT_EQ(laptop.currentSpace, 11u);
    const auto* keynote = sim::installedApp(played.now(), "/Applications/Keynote.app");
    EXPECT_FALSE(keynote->running);
    EXPECT_EQ(keynote->launchDate, std::nullopt);
}

TEST(TimelineTest, ALaunchThatMeetsAnAppQuitByThenShowsNothing) {
    // Calendar (pid 1001) quits before its windows would show; the world simply goes on.
    Played played(R"({"at": 1, "event": "launchApp", "path": "/Applications/Calendar.app"},
                           {"at": 2, "event": "quitApp", "pid": 1001})");
    EXPECT_THAT(windowIds(played.now()), ElementsAre(1u, 2u, 3u, 4u));
    EXPECT_FALSE(sim::installedApp(played.now(), "/Applications/Calendar.app")->running);
}

// ---- Displays ------------------------------------------------------------------------------------------

TEST(TimelineTest, DisconnectingADisplayBringsItsWindowsToTheMainDisplaysShownDesktop) {
    Played played(R"({"at": 1, "event": "disconnectDisplay", "id": 2})");
    ASSERT_EQ(played.now().displays.size(), 1u);
    // Where they were on the external display, kept within the laptop's visible frame.
    EXPECT_EQ(played.frameOf(2), Rect(160, 200, 800, 600));
    EXPECT_EQ(played.frameOf(3), Rect(60, 100, 400, 300));
    EXPECT_THAT(played.spacesOf(2), ElementsAre(11u));
    EXPECT_THAT(played.spacesOf(3), ElementsAre(11u));
    EXPECT_EQ(played.frameOf(1), Rect(100, 100, 600, 400));
}

TEST(TimelineTest, WhenTheMainDisplayGoesTheNextTakesTheMenuBarAndTheOrigin) {
    Played played(R"({"at": 1, "event": "disconnectDisplay", "id": 1})");
    ASSERT_EQ(played.now().displays.size(), 1u);
    const auto& external = played.now().displays[0];
    EXPECT_TRUE(external.main);
    EXPECT_EQ(external.frame, Rect(0, 0, 1920, 1080));
    EXPECT_EQ(external.visibleFrame, Rect(0, 25, 1920, 1055));
    EXPECT_EQ(played.frameOf(2), Rect(160, 200, 800, 600)); // moved with the coordinates
    EXPECT_EQ(played.frameOf(1), Rect(100, 100, 600, 400));
    EXPECT_THAT(played.spacesOf(1), ElementsAre(21u));
    // The full-screen space survives on the remaining display, its window filling it.
    EXPECT_EQ(external.spaces.back().id, 13u);
    EXPECT_EQ(played.frameOf(4), external.frame);
}

TEST(TimelineTest, MovingADisplayMovesItsWindowsAndKeepsTheMainOneAtTheOrigin) {
    Played aside(R"({"at": 1, "event": "moveDisplay", "id": 2, "frame": [[-1920, 0], [1920, 1080]]})");
    EXPECT_EQ(aside.now().displays[1].frame, Rect(-1920, 0, 1920, 1080));
    EXPECT_EQ(aside.now().displays[1].visibleFrame, Rect(-1920, 25, 1920, 1055));
    EXPECT_EQ(aside.frameOf(2), Rect(-1760, 200, 800, 600));
    EXPECT_EQ(aside.frameOf(1), Rect(100, 100, 600, 400));

    // The main display cannot leave the origin: everything else moves the other way.
    Played lowered(R"({"at": 1, "event": "moveDisplay", "id": 1, "frame": [[0, 100], [1440, 900]]})");
    EXPECT_EQ(lowered.now().displays[0].frame, Rect(0, 0, 1440, 900));
    EXPECT_EQ(lowered.now().displays[1].frame, Rect(1440, -100, 1920, 1080));
    EXPECT_EQ(lowered.frameOf(1), Rect(100, 100, 600, 400));
    EXPECT_EQ(lowered.frameOf(2), Rect(1600, 100, 800, 600));
}

TEST(TimelineTest, AConnectedDisplayJoinsWithItsDesktops) {
    Played played(R"({"at": 1, "event": "connectDisplay",
                            "display": {"id": 3, "uuid": "PROJECTOR", "frame": [[-800, 0], [800, 600]]}})");
    ASSERT_EQ(played.now().displays.size(), 3u);
    const auto& projector = played.now().displays[2];
    EXPECT_FALSE(projector.main);
    ASSERT_EQ(projector.spaces.size(), 1u);
    EXPECT_EQ(projector.currentSpace, projector.spaces[0].id);
    EXPECT_THAT(*played.world.platform().windowServer.activeDisplayList(32), ElementsAre(1u, 2u, 3u));
}

// ---- Windows and desktops ----------------------------------------------------------------------------

TEST(TimelineTest, ShowingADesktopChangesWhichWindowsAreOnScreen) {
    SimulatedWorld world(timelineWorld(R"({"at": 1, "event": "showDesktop", "display": 2, "space": 22})"));
    EXPECT_THAT(onScreen(world), ElementsAre(1u, 2u));
    world.mac().startTimeline();
    world.loop().run();
    EXPECT_THAT(onScreen(world), ElementsAre(1u, 3u));
}

TEST(TimelineTest, AWindowDraggedToAnotherDisplayJoinsTheDesktopShownThere) {
    Played played(R"({"at": 1, "event": "moveWindow", "id": 1, "frame": [[1600, 300], [600, 400]]},
                           {"at": 2, "event": "moveWindow", "id": 2, "frame": [[1700, 250], [800, 600]]})");
    EXPECT_EQ(played.frameOf(1), Rect(1600, 300, 600, 400));
    EXPECT_THAT(played.spacesOf(1), ElementsAre(21u));
    EXPECT_THAT(played.spacesOf(2), ElementsAre(21u)); // moved within its display: its desktop stays
}

TEST(TimelineTest, ClosingTheLastWindowOfAFullScreenSpaceEndsTheSpace) {
    Played played(R"({"at": 1, "event": "closeWindow", "id": 4}, {"at": 2, "event": "closeWindow", "id": 3})");
    EXPECT_THAT(windowIds(played.now()), ElementsAre(1u, 2u));
    EXPECT_EQ(played.now().displays[0].spaces.size(), 2u);
    EXPECT_EQ(played.now().displays[0].currentSpace, 11u);
}

// ---- Writing a world mid-way ---------------------------------------------------------------------------

constexpr const char* busyMorning = R"(
    {"at": 5, "event": "showDesktop", "display": 2, "space": 22},
    {"at": 6, "event": "launchApp", "path": "/Applications/Calendar.app"},
    {"at": 20, "event": "moveWindow", "id": 1, "frame": [[300, 300], [600, 400]]})";

TEST(TimelineTest, AWorldWrittenMidTimelineContinuesFromWhereItStopped) {
    SimulatedWorld whole(timelineWorld(busyMorning));
    whole.mac().startTimeline();
    whole.loop().runFor(fromSeconds(7.5));

    const sim::World& stopped = whole.world();
    EXPECT_EQ(formatTimestamp(stopped.now), "2026-03-02T09:00:07Z");
    // Calendar shows its windows 3 seconds after its launch at 6: 2 seconds from the written `now`.
    ASSERT_EQ(stopped.timeline.size(), 2u);
    EXPECT_EQ(stopped.timeline[0], (sim::TimelineEvent{2, sim::events::FinishLaunch{1001}}));
    EXPECT_EQ(stopped.timeline[1].at, 13);

    const std::string text = sim::writeWorld(stopped);
    auto read = sim::readWorld(text);
    ASSERT_TRUE(read) << read.message();
    SimulatedWorld continued(std::move(read).value());
    continued.mac().startTimeline();
    continued.loop().runFor(fromSeconds(1.999));
    EXPECT_EQ(continued.world().windows.size(), 4u);
    continued.loop().run();

    whole.loop().run();
    EXPECT_EQ(sim::writeWorld(continued.world()), sim::writeWorld(whole.world()));
}

TEST(TimelineTest, AWorldWrittenAfterTheProductUndidAnEventsSubjectCanStillBeRead) {
    // The product closes window 3 before the file's own closeWindow of it comes due: that event
    // will do nothing, and the world written meanwhile must not be refused for it.
    SimulatedWorld world(timelineWorld(R"({"at": 10, "event": "closeWindow", "id": 3}, {"at": 11, "event": "sleep"})"));
    world.mac().startTimeline();
    world.loop().runFor(fromSeconds(5));
    auto& windows = world.mutableWorld().windows;
    std::erase_if(windows, [](const sim::Window& w) { return w.id == 3; });

    const auto read = sim::readWorld(sim::writeWorld(world.world()));
    ASSERT_TRUE(read) << read.message();
    ASSERT_EQ(read->timeline.size(), 1u);
    EXPECT_EQ(read->timeline[0], (sim::TimelineEvent{6, sim::events::Sleep{}}));
}

} // namespace
} // namespace qw
