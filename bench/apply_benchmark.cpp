// The editor's Apply of 100 windows that are all on the desktops their displays show, so that no
// window changes desktop and nothing waits: every window is moved and resized through
// Accessibility, then the Inventory is read again. Beside it, the same Accessibility, workspace and
// window-server calls made without our own work.

#include "bench_world.h"

#include "editor/editor_system.h"
#include "editor/layout_editor.h"
#include "platform/accessibility.h"
#include "platform/workspace.h"
#include "restore/restorer.h"
#include "restore/window_mover.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace {

using namespace qw;
using namespace qw::bench;
namespace AX = platform::AXNames;

constexpr int windowCount = 100;

// Two desktops on each display; every window on the one its display shows.
sim::World showingWorld() {
    return world(builtInDisplay({{1, "S1", false, std::nullopt}, {2, "S2", false, std::nullopt}}, 1),
                 studioDisplay({{4, "S4", false, std::nullopt}, {5, "S5", false, std::nullopt}}, 4), windowCount,
                 WindowSpread{{1, 4}});
}

// Each window's place now, and another a little apart and smaller; iterations go from one to the
// other, so that each moves and resizes every window and leaves the world as the next expects.
struct Targets {
    explicit Targets(const sim::World& world) {
        for (const auto& window : world.windows) {
            here[window.id] = window.frame;
            there[window.id] = Rect(window.frame.x() + 20, window.frame.y() + 10, window.frame.width() - 20,
                                    window.frame.height() - 20);
            owners.push_back(window.pid);
        }
    }
    const FrameMap& next(bool flip) const { return flip ? there : here; }

    FrameMap here;
    FrameMap there;
    std::vector<ProcessID> owners; // window i + 1's app
};

void BM_Apply(benchmark::State& state) {
    BenchMac mac(showingWorld());
    EditorSystem system{mac.platform, mac.skyLight, mac.inventory,
                        Restorer::Apps{[](const std::string&) { return std::optional<std::string>(); },
                                       [](const std::string&) { return true; }}};
    LayoutEditor editor;
    const Targets targets(mac.mac.world());
    const Duration start = mac.loop.now();
    bool flip = false;
    for (auto _ : state) {
        state.PauseTiming();
        editor.setPending(targets.next(flip = !flip));
        state.ResumeTiming();
        editor.apply(system, std::nullopt, std::nullopt);
    }
    // Every window moved, at once: nothing was left to the loop and no world time went by.
    if (editor.report()->moved != windowCount || editor.isFinishingApply() || mac.loop.now() != start)
        state.SkipWithError("the apply did not move every window at once");
    describe(state, "editor Apply, " + std::to_string(windowCount) + " windows, no desktop changes");
    perItem(state, windowCount);
}

// What WindowMover::move asks for one window: its app's element, the window among the app's
// windows, enhanced user interface, position, size, position again, and the frame read back.
void moveCalls(platform::Accessibility& ax, ProcessID pid, WindowID id, const Rect& frame) {
    benchmark::DoNotOptimize(ax.isProcessTrusted());
    const platform::AXElement app = ax.createApplication(pid);
    ax.setMessagingTimeout(app, WindowMover::messagingTimeout);
    const auto windows = ax.copyAttributeValue(app, AX::windows);
    std::optional<platform::AXElement> window;
    for (const auto& candidate : std::get<std::vector<platform::AXElement>>(*windows)) {
        const auto number = ax.windowNumber(candidate);
        if (number && *number == id) {
            window = candidate;
            break;
        }
    }
    benchmark::DoNotOptimize(ax.copyAttributeValue(app, AX::enhancedUserInterface));
    ax.setAttributeValue(*window, AX::position, frame.origin);
    benchmark::DoNotOptimize(ax.isAttributeSettable(*window, AX::size));
    ax.setAttributeValue(*window, AX::size, frame.size);
    ax.setAttributeValue(*window, AX::position, frame.origin);
    benchmark::DoNotOptimize(ax.copyAttributeValue(*window, AX::position));
    benchmark::DoNotOptimize(ax.copyAttributeValue(*window, AX::size));
}

void BM_Apply_Platform(benchmark::State& state) {
    BenchMac mac(showingWorld());
    auto& p = mac.platform;
    const Targets targets(mac.mac.world());
    bool flip = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(p.accessibility.isProcessTrusted());
        // Whether each app of the layout is hidden, and must be shown first.
        for (int app = 0; app < appCount; ++app)
            benchmark::DoNotOptimize(p.workspace.runningApplication(firstAppPID + app));
        for (const auto& [id, frame] : targets.next(flip = !flip))
            moveCalls(p.accessibility, targets.owners[id - 1], id, frame);
        mac.refreshPlatformCalls();
    }
    describe(state, "simulated Mac: the Accessibility calls of the moves and the refresh's calls");
    perItem(state, windowCount);
}

BENCHMARK(BM_Apply)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Apply_Platform)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
