#include "restore/auto_restorer.h"

#include "editor/layout_editor.h"
#include "platform/accessibility.h"
#include "platform/main_loop.h"
#include "platform/user_defaults.h"
#include "platform/workspace.h"
#include "restore/app_launcher.h"
#include "store/layout_store.h"
#include "system/inventory.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace qw {

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

bool isWake(const std::optional<AutoRestorer::Trigger>& trigger) {
    return trigger && std::holds_alternative<AutoRestorer::Wake>(*trigger);
}

bool isDisplayChange(const std::optional<AutoRestorer::Trigger>& trigger) {
    return trigger && std::holds_alternative<AutoRestorer::DisplaysChanged>(*trigger);
}

bool belongsTo(const std::optional<std::string>& bundleID, const std::string& appName, const std::string& appKey) {
    return (bundleID ? *bundleID : appName) == appKey;
}

} // namespace

// ---- Set-up --------------------------------------------------------------------------------------

AutoRestorer::AutoRestorer(EditorSystem system, LayoutStore& store, LayoutEditor& editor, bool observe,
                           TimeOfDay timeOfDay)
    : system_(std::move(system)), platform_(system_.platform), inventory_(system_.inventory), store_(store),
      editor_(editor), timeOfDay_(std::move(timeOfDay)) {
    // Anything but a stored Boolean leaves it on.
    if (const auto stored = platform_.defaults.object(platform::DefaultsKeys::autoRestoreEnabled))
        if (const auto on = stored->asBool()) enabled_.set(*on);
    lastArrangement_ = arrangement(inventory_.displays());
    if (observe) startObserving();
}

AutoRestorer::~AutoRestorer() {
    for (auto& observer : observers_) observer.cancel();
    if (fullRestore_) fullRestore_->cancel();
    for (auto& [key, task] : appRestores_) task.cancel();
}

void AutoRestorer::startObserving() {
    namespace N = platform::Notifications;
    const auto wake = [this](const platform::Notification&) { handle(Wake{}); };
    observers_ = {
        platform_.notifications.addObserver(N::screenParametersChanged,
                                            [this](const platform::Notification&) { handle(DisplaysChanged{}); }),
        platform_.workspaceNotifications.addObserver(N::didWake, wake),
        platform_.workspaceNotifications.addObserver(N::screensDidWake, wake),
        platform_.workspaceNotifications.addObserver(N::didLaunchApplication,
                                                     [this](const platform::Notification& n) { launched(n); }),
    };
}

// Only regular apps count, and never Quiltwright itself.
void AutoRestorer::launched(const platform::Notification& notification) {
    const auto member = notification.userInfo.find("pid");
    if (member == notification.userInfo.end() || !member->second.isNumber()) return;
    const auto pid = member->second.asInt32();
    if (!pid || *pid == platform_.processID) return;
    const auto app = platform_.workspace.runningApplication(*pid);
    if (!app || app->activationPolicy != platform::ActivationPolicy::regular) return;
    const std::string name = app->localizedName.value_or("?");
    handle(AppLaunched{app->bundleIdentifier.value_or(name), name});
}

void AutoRestorer::setEnabled(bool enabled) {
    enabled_.set(enabled);
    platform_.defaults.set(platform::DefaultsKeys::autoRestoreEnabled, enabled);
}

Subscription AutoRestorer::observeEnabled(std::function<void(bool)> observer) const {
    return enabled_.subscribe(std::move(observer));
}

Subscription AutoRestorer::observeLastRun(std::function<void(const std::optional<std::string>&)> observer) const {
    return lastRun_.subscribe(std::move(observer));
}

// ---- Scheduling ----------------------------------------------------------------------------------

void AutoRestorer::handle(const Trigger& trigger) {
    if (!isEnabled()) return;
    if (const auto* app = std::get_if<AppLaunched>(&trigger)) {
        if (const auto pending = appRestores_.find(app->appKey); pending != appRestores_.end()) pending->second.cancel();
        appRestores_[app->appKey] = platform_.loop.spawn(appRestoreChecks(*app));
        return;
    }
    if (std::holds_alternative<DisplaysChanged>(trigger)) displaysChangedInBurst_ = true;
    // A pending wake stays: the displays that change after a wake are part of waking up.
    if (!isWake(fullReason_)) fullReason_ = trigger;
    if (fullRestore_) fullRestore_->cancel();
    fullRestore_ = platform_.loop.spawn(fullRestoreAfter(isWake(fullReason_) ? timing_.wakeSettle : timing_.displaySettle));
}

// The tasks run only while this instance lives: the destructor cancels them, and a cancelled task
// returns without touching it.
Task<void> AutoRestorer::fullRestoreAfter(Duration settle) {
    const WakeReason woke = co_await platform_.loop.sleep(settle);
    if (woke == WakeReason::cancelled) co_return;
    runFullRestore();
}

Task<void> AutoRestorer::appRestoreChecks(AppLaunched app) {
    const Duration started = platform_.loop.now();
    for (const Duration check : timing_.appLaunchChecks) {
        const Duration wait = started + check - platform_.loop.now();
        // Kept as separate statements: GCC 12 miscompiles co_await inside a condition.
        const WakeReason woke = co_await platform_.loop.sleep(wait);
        const bool cancelled = co_await isCancelled();
        if (woke == WakeReason::cancelled || cancelled) co_return;
        if (runAppRestore(app.appKey, app.name)) break;
    }
    appRestores_.erase(app.appKey);
}

// ---- Deciding ------------------------------------------------------------------------------------

void AutoRestorer::runFullRestore() {
    const std::optional<Trigger> reason = std::exchange(fullReason_, std::nullopt);
    const bool displaysChanged = std::exchange(displaysChangedInBurst_, false);
    fullRestore_.reset();

    inventory_.refresh();
    auto current = arrangement(inventory_.displays());

    if (isWake(reason) && !displaysChanged && current == lastArrangement_) {
        if (!isEnabled() || !store_.autoLayout(inventory_.displays())) return;
        lastRun_.set(now() + ": woke with the same displays; left windows where they were");
        return;
    }
    if (isDisplayChange(reason) && current == lastArrangement_) return;

    lastArrangement_ = std::move(current);
    if (!isEnabled()) return;
    const auto layout = store_.autoLayout(inventory_.displays());
    if (!layout) return;

    const std::string suffix = isWake(reason) ? "after wake" : "for these displays";
    if (editor_.hasUnsavedWork()) {
        lastRun_.set(now() + ": skipped “" + layout->name + "” " + suffix + "; the editor has unapplied changes");
        return;
    }
    restore(*layout, "Auto-restored “" + layout->name + "” " + suffix);
}

bool AutoRestorer::runAppRestore(const std::string& appKey, const std::string& name) {
    if (!isEnabled()) return true;
    // Quiltwright opened it itself (a restore or the editor did): its windows are being placed.
    if (AppLauncher::justOpened(appKey, platform_.loop.wallTime())) return true;

    inventory_.refresh();
    auto layout = store_.autoLayout(inventory_.displays());
    if (!layout) return true;
    std::erase_if(layout->windows, [&](const SavedWindow& w) { return !belongsTo(w.bundleID, w.appName, appKey); });
    if (layout->windows.empty()) return true;

    const auto& windows = inventory_.windows();
    if (std::none_of(windows.begin(), windows.end(),
                     [&](const WindowInfo& w) { return belongsTo(w.bundleID, w.appName, appKey); }))
        return false; // not shown yet; the next check looks again

    if (editor_.hasUnsavedWork()) return true;
    restore(*layout, "Auto-restored " + name + " from “" + layout->name + "”");
    return true;
}

// ---- Restoring -----------------------------------------------------------------------------------

void AutoRestorer::restore(const SavedLayout& layout, const std::string& context) {
    if (!platform_.accessibility.isProcessTrusted()) {
        editor_.setReport(Report{0, {},
                                 "Quiltwright needs Accessibility permission to restore “" + layout.name +
                                     "”. Nothing was changed",
                                 context, true});
    } else {
        // Automatic restores neither open apps nor change desktops.
        const RestorePlan plan = editor_.load(layout, system_, false, false);
        if (editor_.pending().empty()) {
            editor_.setReport(Report{0, plan.notes, "“" + layout.name + "” is already in place", context, false});
        } else {
            editor_.apply(system_, std::nullopt, std::nullopt);
            if (auto report = editor_.report()) {
                report->notes.insert(report->notes.end(), plan.notes.begin(), plan.notes.end());
                report->context = context;
                editor_.setReport(std::move(report));
            }
        }
    }
    lastRun_.set(now() + ": " + (editor_.report() ? editor_.report()->summary() : std::string()));
}

// ---- Texts ---------------------------------------------------------------------------------------

std::vector<std::string> AutoRestorer::arrangement(const std::vector<DisplayInfo>& displays) {
    std::vector<std::string> lines;
    for (const DisplayInfo& d : displays) {
        const Rect& f = d.frame;
        lines.push_back(std::to_string(d.key.vendor) + "-" + std::to_string(d.key.model) + "-" +
                        std::to_string(d.key.serial) + "@" + number(f.x()) + "," + number(f.y()) + "," +
                        number(f.width()) + "," + number(f.height()));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string AutoRestorer::shortTimeOfDay(WallTime time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M", &local);
    return text;
}

std::string AutoRestorer::now() const {
    return timeOfDay_(platform_.loop.wallTime());
}

} // namespace qw
