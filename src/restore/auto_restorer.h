#pragma once

#include "editor/editor_system.h"
#include "model/display_info.h"
#include "model/observable.h"
#include "model/saved_layout.h"
#include "platform/clock.h"
#include "platform/notification_center.h"
#include "platform/platform.h"
#include "platform/task.h"
#include "platform/task_handle.h"

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace qw {

class LayoutEditor;
class LayoutStore;

// Restores the layout marked for automatic restore without being asked: when the set or arrangement
// of displays changed, after a wake, and when an app whose windows the layout remembers was
// launched. It waits for the system to settle, decides whether anything is to be done, and drives
// the editor to load and apply the layout (never opening apps or changing desktops), leaving the
// editor's report and a one-line summary of the run in `lastRun`.
//
// One for the life of the app. Main loop only; its waits are timers of the loop's clock.
class AutoRestorer {
public:
    struct AppLaunched {
        std::string appKey; // bundle identifier, else name, else "?"
        std::string name;
        bool operator==(const AppLaunched&) const = default;
    };
    struct DisplaysChanged {
        bool operator==(const DisplaysChanged&) const = default;
    };
    struct Wake {
        bool operator==(const Wake&) const = default;
    };
    using Trigger = std::variant<AppLaunched, DisplaysChanged, Wake>;

    struct Timing {
        Duration displaySettle = std::chrono::seconds(3);
        Duration wakeSettle = std::chrono::seconds(4);
        // After a launch, when its windows are looked for.
        std::vector<Duration> appLaunchChecks{std::chrono::milliseconds(1500), std::chrono::seconds(3),
                                              std::chrono::seconds(6)};
    };

    // How `lastRun` writes the time of day.
    using TimeOfDay = std::function<std::string(WallTime)>;

    // Reads its switch from the user defaults and remembers the displays' arrangement; with
    // `observe`, it listens to the system's display, wake and launch notifications.
    AutoRestorer(EditorSystem system, LayoutStore& store, LayoutEditor& editor, bool observe,
                 TimeOfDay timeOfDay = shortTimeOfDay);
    // Cancels what is scheduled; no run starts afterwards.
    ~AutoRestorer();
    AutoRestorer(const AutoRestorer&) = delete;
    AutoRestorer& operator=(const AutoRestorer&) = delete;

    // The master switch, kept in the user defaults under "autoRestoreEnabled".
    bool isEnabled() const { return enabled_.value(); }
    void setEnabled(bool enabled);
    // A one-line summary of the last automatic run, for the menu.
    const std::optional<std::string>& lastRun() const { return lastRun_.value(); }
    Subscription observeEnabled(std::function<void(bool)> observer) const;
    Subscription observeLastRun(std::function<void(const std::optional<std::string>&)> observer) const;

    // Every event comes in here. Display changes and wakes schedule one full run a settle time
    // after the last of a burst; a launch schedules checks for that app's windows.
    void handle(const Trigger& trigger);

    // The two decisions, run from the scheduled tasks. An app run returns true when nothing more
    // is to be tried for that launch.
    void runFullRestore();
    bool runAppRestore(const std::string& appKey, const std::string& name);

    // What is pending, for those who wait for quiet (the command line, tests).
    bool isFullRestoreScheduled() const { return fullRestore_.has_value(); }
    std::size_t scheduledAppRestores() const { return appRestores_.size(); }
    Timing& timing() { return timing_; }

    // One string per display (its key and frame), sorted: equal exactly when the same monitors
    // are connected in the same places.
    static std::vector<std::string> arrangement(const std::vector<DisplayInfo>& displays);
    // The time of day as hours and minutes of the local clock, "09:05".
    static std::string shortTimeOfDay(WallTime time);

private:
    void startObserving();
    void launched(const platform::Notification& notification);
    Task<void> fullRestoreAfter(Duration settle);
    Task<void> appRestoreChecks(AppLaunched app);
    void restore(const SavedLayout& layout, const std::string& context);
    std::string now() const;

    EditorSystem system_;
    platform::Platform platform_;
    Inventory& inventory_;
    LayoutStore& store_;
    LayoutEditor& editor_;
    TimeOfDay timeOfDay_;
    Timing timing_;

    Observable<bool> enabled_{true};
    Observable<std::optional<std::string>> lastRun_;
    std::optional<TaskHandle<>> fullRestore_;
    std::optional<Trigger> fullReason_;
    bool displaysChangedInBurst_ = false;
    std::map<std::string, TaskHandle<>> appRestores_;
    std::vector<std::string> lastArrangement_;
    // Last, so that they end first: no notification reaches a half-destroyed instance.
    std::array<platform::NotificationCenter::Registration, 4> observers_;
};

} // namespace qw
