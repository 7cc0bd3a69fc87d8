#include "soak/soak.h"

#include "desktops/desktop_manager.h"
#include "desktops/space_mover.h"
#include "platform/main_loop.h"
#include "restore/app_launcher.h"
#include "soak/headless_app.h"
#include "soak/invariants.h"
#include "soak/step_generator.h"
#include "soak/step_player.h"
#include "store/capture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>

namespace qw::soak {

namespace {

namespace E = sim::events;

bool endsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::uint64_t fnv1a(std::uint64_t hash, std::string_view text) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

// Turns after which a loop that is asked to run until idle counts as never getting there.
constexpr std::size_t idleTurnLimit = 200'000;

} // namespace

void writeFixtureLayouts(const sim::World& world, const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    cli::System system(world);
    LayoutStore store(file);
    Inventory& inventory = system.inventory();
    const auto paths = Capture::bundlePaths(system.platform().workspace);
    system.mac().startTimeline();
    const auto happen = [&](sim::Event event) {
        system.mac().addEvent(sim::TimelineEvent{0, std::move(event)});
        system.loop().runFor(std::chrono::seconds(2));
        inventory.refresh();
    };

    Capture::saveCurrent(store, "Desk", inventory, nullptr, paths, true);
    happen(E::MoveWindow{51, Rect(600, 300, 800, 500)});
    happen(E::MoveWindow{21, Rect(1700, -200, 1200, 900)});
    happen(E::ShowDesktop{2, 5});
    Capture::saveCurrent(store, "Desk, reading", inventory, nullptr, paths, false);

    const DisplayID external = world.displays.at(1).id;
    happen(E::DisconnectDisplay{external});
    Capture::saveCurrent(store, "Laptop", inventory, nullptr, paths, true);

    sim::Display projector = extraDisplays().front();
    const Rect& laptop = system.mac().world().displays.front().frame;
    projector.frame = Rect(Point{laptop.maxX(), 0}, projector.frame.size);
    projector.visibleFrame = sim::defaultVisibleFrame(projector.frame);
    projector.spaces = {sim::Space{900, "", false, {}}};
    projector.currentSpace = 900;
    happen(E::ConnectDisplay{projector});
    Capture::saveCurrent(store, "Laptop and projector", inventory, nullptr, paths, true);
}

SoakResult runSoak(const SoakOptions& options) {
    // Process-wide bookkeeping of earlier runs must not leak into this one.
    AppLauncher::forgetRecentlyOpened();

    HeadlessApp app(options.world, options.layoutsFile);
    MainLoop& loop = app.system.loop();
    sim::SimulatedMac& mac = app.system.mac();
    const sim::World& world = mac.world();
    MoveLedger ledger(world);
    StepGenerator generator(options.seed, world);

    SoakResult result;
    result.seed = options.seed;
    result.fingerprint = 0xcbf29ce484222325ULL;
    std::vector<TaskHandle<>> running;
    std::vector<std::uint64_t> asyncStarts; // turns in which operations still finishing began
    std::size_t stepIndex = 0;
    std::string stepText = "start";

    const auto check = [&](const std::string& invariant, const Finding& failure) {
        ++result.checks;
        if (!failure) return;
        if (options.trace) {
            *options.trace << "  finding: " << invariant << ": " << *failure << "\n";
            for (const sim::Window& w : world.windows) {
                const sim::App* app = sim::runningApp(world, w.pid);
                *options.trace << "    window " << w.id << " of " << (app ? app->name : std::to_string(w.pid)) << " at ["
                               << w.frame.x() << ", " << w.frame.y() << ", " << w.frame.width() << ", "
                               << w.frame.height() << "]" << (w.minimized ? " minimized" : "")
                               << (app && app->hidden ? " hidden" : "") << "\n";
            }
        }
        if (result.failures[invariant]++ >= 8) return;
        result.findings.push_back("seed " + std::to_string(options.seed) + ", step " + std::to_string(stepIndex) +
                                  " (event " + std::to_string(result.events) + "), " + stepText + ": " + invariant +
                                  ": " + *failure);
    };
    const auto actionsRunning = [&] {
        std::erase_if(running, [](const TaskHandle<>& task) { return task.isDone(); });
        return !running.empty();
    };
    const auto beforeTurn = [&] {
        ledger.beginTurn();
        if (!app.editor.isFinishingApply() && !actionsRunning()) asyncStarts.clear();
    };

    // Each report is held against what changed on the Mac since its operation began: this turn for
    // an operation done at once, or the turn in which a still-finishing operation began.
    const Subscription reports = app.editor.observe(LayoutEditor::Property::report, [&] {
        const auto& report = app.editor.report();
        if (!report) return;
        ++result.reports;
        ledger.sample();
        if (report->headline && endsWith(*report->headline, "…")) asyncStarts.push_back(ledger.turn());
        std::uint64_t since = ledger.turn();
        if (!asyncStarts.empty()) since = std::min(since, asyncStarts.front());
        auto failure = checkReportMoves(*report, ledger.changedSince(since));
        if (failure) *failure += ": windows " + [&] {
            std::string ids;
            for (const WindowID id : ledger.windowsChangedSince(since)) ids += (ids.empty() ? "" : ", ") + std::to_string(id);
            return "[" + ids + "]";
        }() + " changed";
        check("report moves", failure);
    });
    const Subscription runs = app.restorer.observeLastRun([&](const std::optional<std::string>& run) {
        if (run) ++result.automaticRuns;
    });

    const auto checkAll = [&](bool idle) {
        check("layouts file", checkLayoutsFile(app.store));
        const BusyState busy{SpaceMover::isBusy(),
                             DesktopManager::isBusy(),
                             app.editor.isFinishingApply(),
                             app.restorer.isFullRestoreScheduled(),
                             app.restorer.scheduledAppRestores(),
                             actionsRunning(),
                             idle};
        check(idle ? "busy flags once idle" : "busy flags", checkBusyFlags(busy));
        check("edit history", checkHistory(app.editor.history()));
        check("tile groups", checkTileGroups(app.editor.tileGroups()));
        result.longestHistory = std::max(result.longestHistory, app.editor.history().size());
        if (!app.editor.tileGroups().empty()) ++result.stepsWithTileGroups;
    };

    // Runs the loop for `seconds` of world time, sampling the Mac before every turn.
    const auto runFor = [&](double seconds) {
        bool reached = false;
        loop.after(fromSeconds(seconds), [&reached] { reached = true; });
        loop.runUntil([&] {
            beforeTurn();
            return reached;
        });
    };
    // Runs the loop until nothing is left to do: every operation has ended.
    const auto runUntilIdle = [&] {
        std::size_t turns = 0;
        const bool stuck = loop.runUntil([&] {
            beforeTurn();
            return ++turns > idleTurnLimit;
        });
        ++result.idlePoints;
        if (stuck) {
            check("loop goes idle", "the loop still had work after " + std::to_string(idleTurnLimit) + " turns");
            return;
        }
        checkAll(true);
    };
    const auto playStep = [&](const Step& step) {
        ++stepIndex;
        stepText = describe(step);
        result.fingerprint = fnv1a(result.fingerprint, stepText);
        if (options.trace) *options.trace << stepIndex << " " << stepText << "\n";
        ledger.beginTurn();
        if (!play(step, app, running)) ++result.skippedActions;
        runFor(step.seconds);
        checkAll(false);
    };

    const Duration start = loop.now();
    mac.startTimeline();
    while (result.events < options.events) {
        const int actions = generator.actionsBeforeNextEvent();
        for (int i = 0; i < actions; ++i) {
            refreshEditor(app);
            playStep(generator.nextAction(Scene{world, app.system.inventory(), app.editor, app.store.layouts()}));
            ++result.actions;
        }
        playStep(generator.nextEvent(world));
        ++result.events;
        if (options.idleEvery > 0 && result.events % options.idleEvery == 0) runUntilIdle();
    }
    runUntilIdle();
    result.worldSeconds = toSeconds(loop.now() - start);
    return result;
}

std::string summary(const SoakResult& r) {
    std::ostringstream out;
    out << "soak seed " << r.seed << ": " << r.events << " events played, " << r.actions << " user actions ("
        << r.skippedActions << " found nothing to act on), " << r.checks << " invariant checks, " << r.idlePoints
        << " idle points, " << r.reports << " reports, " << r.automaticRuns << " automatic runs, "
        << static_cast<long long>(r.worldSeconds) << " s of world time; longest edit history " << r.longestHistory
        << ", tile groups present after " << r.stepsWithTileGroups << " steps\n";
    if (r.failures.empty()) {
        out << "findings: none\n";
        return out.str();
    }
    out << "findings:";
    for (const auto& [invariant, count] : r.failures) out << " " << invariant << " ×" << count;
    out << "\n";
    for (const std::string& finding : r.findings) out << "  - " << finding << "\n";
    return out.str();
}

} // namespace qw::soak
