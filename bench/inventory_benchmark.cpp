// Inventory::refresh() on the simulated Mac, beside the platform calls it makes, so that the ratio
// of the two shows what the Inventory itself adds.

#include "bench_world.h"

#include "platform/property_value.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace qw;
using namespace qw::bench;

// Two displays with three spaces each (one a full-screen space of the first app), and `count`
// windows spread over the five desktops; a few are minimized, a few belong to every desktop, and
// two desktops have nicknames.
sim::World worldWith(int count) {
    auto world = bench::world(
        builtInDisplay({{1, "", false, std::nullopt}, {2, "S2", false, std::nullopt}, {3, "S3", true, firstAppPID}}, 1),
        studioDisplay({{4, "S4", false, std::nullopt}, {5, "S5", false, std::nullopt}, {6, "S6", false, std::nullopt}}, 4),
        count, WindowSpread{{1, 2, 4, 5, 6}, 31, 97});
    world.defaults["desktopNames"] = platform::PropertyValue::Dictionary{{"S2", "Mail"}, {"S4", "Clients"}};
    return world;
}

void BM_InventoryRefresh(benchmark::State& state) {
    const int windows = static_cast<int>(state.range(0));
    BenchMac mac(worldWith(windows));
    for (auto _ : state) {
        mac.inventory.refresh();
        benchmark::DoNotOptimize(mac.inventory.windows().data());
    }
    describe(state, "Inventory refresh, " + std::to_string(windows) + " windows");
    perItem(state, windows);
    state.counters["kept"] = static_cast<double>(mac.inventory.windows().size());
}

void BM_InventoryRefresh_Platform(benchmark::State& state) {
    const int windows = static_cast<int>(state.range(0));
    BenchMac mac(worldWith(windows));
    for (auto _ : state) mac.refreshPlatformCalls();
    describe(state, "simulated Mac: the refresh's calls");
    perItem(state, windows);
}

BENCHMARK(BM_InventoryRefresh)->Arg(50)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InventoryRefresh_Platform)->Arg(50)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
