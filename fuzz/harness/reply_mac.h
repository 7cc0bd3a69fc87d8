#pragma once

// The small simulated Mac behind the reply fuzzers: what their input does not script (the displays,
// the running apps, the desktops of each window) is answered from it. The window-list seeds are its
// own window list, so that their numbers, pids and frames meet its windows, apps and displays.

#include "platform/clock.h"
#include "platform/main_loop.h"
#include "platform/platform.h"
#include "platform/sim/simulated_mac.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace qw::fuzzing {

// Two displays, a full-screen app, a window on every desktop, a minimized window, a hidden app, an
// accessory app, a desktop element and a window of Quiltwright itself (pid 1000).
inline constexpr std::string_view replyWorldFile = R"({
  "displays": [
    {"id": 1, "uuid": "37D8832A-2D66-02CA-B9F7-8F30A301B230", "name": "Built-in Retina Display",
     "frame": [[0, 0], [1512, 982]], "visibleFrame": [[0, 25], [1512, 957]],
     "spaces": [{"id": 1}, {"id": 3, "uuid": "5E1B5B4C-92A7-4C1E-8F0D-6B2C9A3E7D10"},
                {"id": 6, "uuid": "A0C4E2F1-3B5D-4F6A-8C9E-1D2B3C4D5E6F", "fullscreen": true, "pid": 300}]},
    {"id": 2, "uuid": "8F3C2E51-6A3B-4D2E-9C51-3A7F0B6E2D14", "name": "LG UltraFine",
     "frame": [[1512, -458], [2560, 1440]], "spaces": [{"id": 4}, {"id": 5, "uuid": "S5"}], "currentSpace": 5}
  ],
  "apps": [
    {"name": "Notes", "bundleID": "com.apple.Notes", "path": "/System/Applications/Notes.app", "pid": 100},
    {"name": "Music", "bundleID": "com.apple.Music", "path": "/System/Applications/Music.app", "pid": 200,
     "hidden": true},
    {"name": "Keynote", "bundleID": "com.apple.iWork.Keynote", "path": "/Applications/Keynote.app", "pid": 300},
    {"name": "Bartender", "path": "/Applications/Bartender.app", "pid": 400, "regular": false},
    {"name": "Finder", "bundleID": "com.apple.finder", "path": "/System/Library/CoreServices/Finder.app", "pid": 500}
  ],
  "windows": [
    {"id": 11, "pid": 100, "title": "Groceries", "frame": [[200, 200], [700, 500]], "spaces": [1, 3]},
    {"id": 12, "pid": 100, "title": "Ideas", "frame": [[1700, -300], [700, 500]], "minimized": true},
    {"id": 13, "pid": 200, "title": "Music", "frame": [[300, 150], [1000, 650]], "spaces": [1]},
    {"id": 14, "pid": 300, "title": "Quarterly Review", "frame": [[0, 0], [1512, 982]], "spaces": [6]},
    {"id": 15, "pid": 400, "title": "Menu", "frame": [[1200, 25], [300, 400]], "layer": 101},
    {"id": 16, "pid": 1000, "title": "Quiltwright", "frame": [[100, 100], [900, 600]], "spaces": [1]},
    {"id": 17, "pid": 100, "title": "Everywhere", "frame": [[1600, 0], [800, 500]], "spaces": [1, 3, 4, 5]},
    {"id": 18, "pid": 500, "frame": [[0, 0], [1512, 982]], "layer": -2147483603, "spaces": [1]},
    {"id": 19, "pid": 100, "title": "Palette", "frame": [[40, 40], [50, 30]], "spaces": [1]},
    {"id": 20, "pid": 500, "title": "Downloads", "frame": [[1800, 100], [900, 500]], "spaces": [5], "alpha": 0}
  ]
})";

// A simulated Mac made from replyWorldFile, with its loop.
class ReplyMac {
public:
    ReplyMac() : ReplyMac(readReplyWorld()) {}

    platform::Platform platform() { return mac_.platform(); }
    sim::SimulatedMac& mac() { return mac_; }

private:
    explicit ReplyMac(sim::World world)
        : loop_(std::make_unique<WorldClock>(world.now)), mac_(std::move(world), loop_) {}

    static sim::World readReplyWorld() {
        auto world = sim::readWorld(replyWorldFile);
        if (!world) { // the file above is wrong: nothing can be fuzzed on it
            std::fprintf(stderr, "the reply fuzzers' world is refused: %s\n", world.message().c_str());
            std::abort();
        }
        return std::move(world).value();
    }

    MainLoop loop_;
    sim::SimulatedMac mac_;
};

} // namespace qw::fuzzing
