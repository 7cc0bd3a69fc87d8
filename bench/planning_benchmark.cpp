// Restore planning at the sizes a busy Mac reaches: a layout of 200 saved windows against 300 open
// windows of 20 apps, and twice both. Planning is a pure function of the Inventory and asks the
// system nothing itself, so its platform baseline is the refresh that must come before it.

#include "bench_world.h"

#include "restore/restorer.h"
#include "store/capture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

using namespace qw;
using namespace qw::bench;

void BM_Plan(benchmark::State& state) {
    const int saved = static_cast<int>(state.range(0));
    const int open = static_cast<int>(state.range(1));
    BenchMac mac(twoDesktopsEach(open));
    // A layout captured on this Mac, cut to `saved` windows and moved a little, so that every
    // saved window has candidates and most need a move.
    auto layout = Capture::capture("Bench", mac.inventory, nullptr, {}, Timestamp{});
    layout.windows.resize(std::min<std::size_t>(layout.windows.size(), static_cast<std::size_t>(saved)));
    for (auto& window : layout.windows) window.frame = window.frame.offsetBy(13, 7);
    const Restorer::Apps apps{[](const std::string&) { return std::optional<std::string>(); },
                              [](const std::string&) { return true; }};
    for (auto _ : state) {
        auto plan = Restorer::plan(layout, mac.inventory, true, apps);
        benchmark::DoNotOptimize(plan.moves.size());
    }
    describe(state, "restore plan, " + std::to_string(saved) + " saved against " + std::to_string(open) + " open windows");
    state.counters["saved"] = static_cast<double>(layout.windows.size());
    state.counters["open"] = static_cast<double>(mac.inventory.windows().size());
}

void BM_Plan_Platform(benchmark::State& state) {
    BenchMac mac(twoDesktopsEach(static_cast<int>(state.range(1))));
    for (auto _ : state) mac.refreshPlatformCalls();
    describe(state, "simulated Mac: the calls of the refresh before it");
}

BENCHMARK(BM_Plan)->Args({200, 300})->Args({400, 600})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Plan_Platform)->Args({200, 300})->Args({400, 600})->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
