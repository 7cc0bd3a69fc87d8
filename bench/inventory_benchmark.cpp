// Inventory::refresh() on the simulated Mac, beside the platform calls it makes, so that the ratio
// of the two shows what the Inventory itself adds.

#include "desktops/desktop_names.h"
#include "platform/clock.h"
#include "platform/desktop_functions.h"
#include "platform/main_loop.h"
#include "platform/screens.h"
#include "platform/sim/simulated_mac.h"
#include "platform/user_defaults.h"
#include "platform/window_server.h"
#include "platform/workspace.h"
#include "system/inventory.h"
#include "system/skylight.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <set>
#include <string>

namespace {

using namespace qw;

// Two displays with three desktops each (one a full-screen space), twenty apps, and `count` windows
// spread over the desktops; a few are minimized, a few belong to every desktop.
sim::World worldWith(int count) {
    sim::World world;
    sim::Display left;
    left.id = 1;
    left.uuid = "37D8832A-2D66-02CA-B9F7-8F30A301B230";
    left.name = "Built-in Retina Display";
    left.frame = Rect(0, 0, 1512, 982);
    left.visibleFrame = sim::defaultVisibleFrame(left.frame);
    left.main = true;
    left.spaces = {{1, "", false, std::nullopt}, {2, "S2", false, std::nullopt}, {3, "S3", true, 100}};
    left.currentSpace = 1;
    sim::Display right;
    right.id = 2;
    right.uuid = "E1A6B3C4-5D2F-4A1B-9C8D-7E6F5A4B3C2D";
    right.name = "Studio Display";
    right.frame = Rect(1512, -200, 2560, 1440);
    right.visibleFrame = sim::defaultVisibleFrame(right.frame);
    right.spaces = {{4, "S4", false, std::nullopt}, {5, "S5", false, std::nullopt}, {6, "S6", false, std::nullopt}};
    right.currentSpace = 4;
    world.displays = {left, right};

    constexpr int appCount = 20;
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

    const SpaceID desktops[] = {1, 2, 4, 5, 6};
    for (int i = 0; i < count; ++i) {
        sim::Window window;
        window.id = static_cast<WindowID>(i + 1);
        window.pid = 100 + i % appCount;
        window.title = "Document " + std::to_string(i);
        const SpaceID space = desktops[i % 5];
        const bool onLeft = space <= 2;
        window.frame = onLeft ? Rect(40 + i % 300, 60 + i % 200, 900, 600) : Rect(1600 + i % 900, 0 + i % 400, 1200, 800);
        window.spaces = i % 97 == 0 ? std::vector<SpaceID>{1, 2, 4, 5, 6} : std::vector<SpaceID>{space};
        window.minimized = i % 31 == 0;
        world.windows.push_back(window);
    }
    world.lastWindowID = static_cast<WindowID>(count);
    world.defaults["desktopNames"] = platform::PropertyValue::Dictionary{{"S2", "Mail"}, {"S4", "Clients"}};
    return world;
}

struct Setup {
    explicit Setup(int count)
        : loop(std::make_unique<WorldClock>(sim::defaultWorldStart())), mac(worldWith(count), loop),
          platform(mac.platform()), skyLight(platform.desktopFunctions, platform.workspace),
          names(platform.defaults) {}

    MainLoop loop;
    sim::SimulatedMac mac;
    platform::Platform platform;
    SkyLight skyLight;
    DesktopNames names;
};

void perWindow(benchmark::State& state, int windows) {
    state.SetItemsProcessed(state.iterations() * windows);
    state.counters["per_window"] =
        benchmark::Counter(windows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_InventoryRefresh(benchmark::State& state) {
    const int windows = static_cast<int>(state.range(0));
    Setup setup(windows);
    Inventory inventory(setup.platform, setup.skyLight,
                        [&](const SpaceInfo& space, std::string_view uuid) { return setup.names.nickname(space, uuid); });
    for (auto _ : state) {
        inventory.refresh();
        benchmark::DoNotOptimize(inventory.windows().data());
    }
    perWindow(state, windows);
    state.counters["kept"] = static_cast<double>(inventory.windows().size());
}

// The same platform calls a refresh makes, and nothing else: the display list and each display's
// properties, the screens, the desktops, the window list, the spaces of every candidate window, each
// owner's running application once, and the nicknames once per ordinary desktop.
void BM_PlatformCallsAlone(benchmark::State& state) {
    const int windows = static_cast<int>(state.range(0));
    Setup setup(windows);
    auto& p = setup.platform;
    const std::int32_t connection = p.desktopFunctions.mainConnectionID();
    for (auto _ : state) {
        const auto ids = p.windowServer.activeDisplayList(Inventory::maxDisplays);
        for (const DisplayID id : *ids) {
            benchmark::DoNotOptimize(p.windowServer.displayUUID(id));
            benchmark::DoNotOptimize(p.windowServer.displayBounds(id));
            benchmark::DoNotOptimize(p.windowServer.displayVendorNumber(id));
            benchmark::DoNotOptimize(p.windowServer.displayModelNumber(id));
            benchmark::DoNotOptimize(p.windowServer.displaySerialNumber(id));
            benchmark::DoNotOptimize(p.windowServer.displayIsMain(id));
        }
        benchmark::DoNotOptimize(p.screens.screens());
        benchmark::DoNotOptimize(p.desktopFunctions.mainConnectionID());
        const auto desktops = p.desktopFunctions.copyManagedDisplaySpaces(connection);
        for (int ordinary = 0; ordinary < 5; ++ordinary) benchmark::DoNotOptimize(p.defaults.object("desktopNames"));
        const auto list = p.windowServer.copyWindowList(platform::WindowServer::ListOption::allExcludingDesktopElements);
        std::set<ProcessID> owners;
        for (const auto& entry : *list) {
            const auto number = entry.member(platform::WindowKeys::number)->asUInt32();
            benchmark::DoNotOptimize(p.desktopFunctions.mainConnectionID());
            benchmark::DoNotOptimize(p.desktopFunctions.copySpacesForWindows(
                connection, SkyLight::allSpacesSelector, platform::PropertyValue::Array{platform::PropertyValue(*number)}));
            const auto pid = *entry.member(platform::WindowKeys::ownerPID)->asInt32();
            if (owners.insert(pid).second) benchmark::DoNotOptimize(p.workspace.runningApplication(pid));
        }
        benchmark::DoNotOptimize(desktops);
    }
    perWindow(state, windows);
}

BENCHMARK(BM_InventoryRefresh)->Arg(50)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlatformCallsAlone)->Arg(50)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
