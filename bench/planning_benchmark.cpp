// Restore planning and capture at the sizes a busy Mac reaches: planning a layout of 200 windows
// against 300 open windows of 20 apps, and capturing 500 windows.

#include "desktops/desktop_names.h"
#include "platform/clock.h"
#include "platform/main_loop.h"
#include "platform/sim/simulated_mac.h"
#include "restore/restorer.h"
#include "store/capture.h"
#include "system/inventory.h"
#include "system/skylight.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace qw;

constexpr int appCount = 20;

// Two displays with two desktops each; `count` windows of twenty apps spread over the desktops.
sim::World worldWith(int count) {
    sim::World world;
    sim::Display left;
    left.id = 1;
    left.uuid = "37D8832A-2D66-02CA-B9F7-8F30A301B230";
    left.name = "Built-in Retina Display";
    left.frame = Rect(0, 0, 1512, 982);
    left.visibleFrame = sim::defaultVisibleFrame(left.frame);
    left.main = true;
    left.spaces = {{1, "S1", false, std::nullopt}, {2, "S2", false, std::nullopt}};
    left.currentSpace = 1;
    sim::Display right;
    right.id = 2;
    right.uuid = "E1A6B3C4-5D2F-4A1B-9C8D-7E6F5A4B3C2D";
    right.name = "Studio Display";
    right.serial = 2;
    right.frame = Rect(1512, -200, 2560, 1440);
    right.visibleFrame = sim::defaultVisibleFrame(right.frame);
    right.spaces = {{4, "S4", false, std::nullopt}, {5, "S5", false, std::nullopt}};
    right.currentSpace = 4;
    world.displays = {left, right};

    for (int i = 0; i < appCount; ++i) {
        sim::App app;
        app.name = "App " + std::to_string(i);
        app.bundleID = "com.example.app" + std::to_string(i);
        app.path = "/Applications/App " + std::to_string(i) + ".app";
        app.running = true;
        app.pid = 100 + i;
        world.apps.push_back(app);
    }
    world.lastPID = 100 + appCount;

    const SpaceID desktops[] = {1, 2, 4, 5};
    for (int i = 0; i < count; ++i) {
        sim::Window window;
        window.id = static_cast<WindowID>(i + 1);
        window.pid = 100 + i % appCount;
        window.title = "Document " + std::to_string(i);
        const SpaceID space = desktops[i % 4];
        window.frame = space <= 2 ? Rect(40 + i % 300, 60 + i % 200, 900, 600) : Rect(1600 + i % 900, i % 400, 1200, 800);
        window.spaces = {space};
        world.windows.push_back(window);
    }
    world.lastWindowID = static_cast<WindowID>(count);
    return world;
}

struct Setup {
    explicit Setup(int count)
        : loop(std::make_unique<WorldClock>(sim::defaultWorldStart())), mac(worldWith(count), loop),
          platform(mac.platform()), skyLight(platform.desktopFunctions, platform.workspace), names(platform.defaults),
          inventory(platform, skyLight, [this](const SpaceInfo& s, std::string_view uuid) { return names.nickname(s, uuid); }) {}

    MainLoop loop;
    sim::SimulatedMac mac;
    platform::Platform platform;
    SkyLight skyLight;
    DesktopNames names;
    Inventory inventory;
};

void BM_Plan(benchmark::State& state) {
    const int saved = static_cast<int>(state.range(0));
    const int open = static_cast<int>(state.range(1));
    Setup setup(open);
    // A layout captured on this Mac, cut to `saved` windows and moved a little, so that every
    // saved window has candidates and most need a move.
    auto layout = Capture::capture("Bench", setup.inventory, nullptr, {}, Timestamp{});
    layout.windows.resize(std::min<std::size_t>(layout.windows.size(), static_cast<std::size_t>(saved)));
    for (auto& window : layout.windows) window.frame = window.frame.offsetBy(13, 7);
    const Restorer::Apps apps{[](const std::string&) { return std::optional<std::string>(); },
                              [](const std::string&) { return true; }};
    for (auto _ : state) {
        auto plan = Restorer::plan(layout, setup.inventory, true, apps);
        benchmark::DoNotOptimize(plan.moves.size());
    }
    state.counters["saved"] = static_cast<double>(layout.windows.size());
    state.counters["open"] = static_cast<double>(setup.inventory.windows().size());
}
BENCHMARK(BM_Plan)->Args({200, 300})->Args({400, 600})->Unit(benchmark::kMicrosecond);

void BM_Capture(benchmark::State& state) {
    Setup setup(static_cast<int>(state.range(0)));
    const auto paths = Capture::bundlePaths(setup.platform.workspace);
    for (auto _ : state) {
        auto layout = Capture::capture("Bench", setup.inventory, nullptr, paths, Timestamp{});
        benchmark::DoNotOptimize(layout.windows.size());
    }
    state.counters["windows"] = static_cast<double>(setup.inventory.windows().size());
}
BENCHMARK(BM_Capture)->Arg(500)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
