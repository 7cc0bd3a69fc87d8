// Capturing the current windows as a layout, from a refreshed Inventory, as saving does. Capture
// itself asks the system only for each app's bundle path (once per app and capture), so its
// platform baseline also holds the calls of the refresh that must come before it.

#include "bench_world.h"

#include "platform/workspace.h"
#include "store/capture.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace qw;
using namespace qw::bench;

void BM_Capture(benchmark::State& state) {
    const int windows = static_cast<int>(state.range(0));
    BenchMac mac(twoDesktopsEach(windows));
    for (auto _ : state) {
        // A fresh lookup, as every save makes one.
        auto layout = Capture::capture("Bench", mac.inventory, nullptr, Capture::bundlePaths(mac.platform.workspace),
                                       Timestamp{});
        benchmark::DoNotOptimize(layout.windows.size());
    }
    describe(state, "capture, " + std::to_string(windows) + " windows");
    perItem(state, windows);
    state.counters["windows"] = static_cast<double>(mac.inventory.windows().size());
}

void BM_Capture_Platform(benchmark::State& state) {
    const int windows = static_cast<int>(state.range(0));
    BenchMac mac(twoDesktopsEach(windows));
    for (auto _ : state) {
        mac.refreshPlatformCalls();
        for (int app = 0; app < appCount; ++app)
            benchmark::DoNotOptimize(mac.platform.workspace.runningApplication(firstAppPID + app));
    }
    describe(state, "simulated Mac: the refresh's calls and one app lookup per app");
    perItem(state, windows);
}

BENCHMARK(BM_Capture)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Capture_Platform)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
