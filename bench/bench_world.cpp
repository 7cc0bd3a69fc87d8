#include "bench_world.h"

#include "platform/clock.h"
#include "platform/desktop_functions.h"
#include "platform/screens.h"
#include "platform/user_defaults.h"
#include "platform/window_server.h"
#include "platform/workspace.h"
#include "store/capture.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <utility>

namespace qw::bench {

sim::Display builtInDisplay(std::vector<sim::Space> spaces, SpaceID current) {
    sim::Display display;
    display.id = 1;
    display.uuid = "37D8832A-2D66-02CA-B9F7-8F30A301B230";
    display.name = "Built-in Retina Display";
    display.frame = Rect(0, 0, 1512, 982);
    display.visibleFrame = sim::defaultVisibleFrame(display.frame);
    display.main = true;
    display.spaces = std::move(spaces);
    display.currentSpace = current;
    return display;
}

sim::Display studioDisplay(std::vector<sim::Space> spaces, SpaceID current) {
    sim::Display display;
    display.id = 2;
    display.uuid = "E1A6B3C4-5D2F-4A1B-9C8D-7E6F5A4B3C2D";
    display.name = "Studio Display";
    display.serial = 2;
    display.frame = Rect(1512, -200, 2560, 1440);
    display.visibleFrame = sim::defaultVisibleFrame(display.frame);
    display.spaces = std::move(spaces);
    display.currentSpace = current;
    return display;
}

Rect builtInFrame(int i) { return Rect(40 + i % 300, 60 + i % 200, 900, 600); }
Rect studioFrame(int i) { return Rect(1600 + i % 900, i % 400, 1200, 800); }

sim::World world(sim::Display left, sim::Display right, int windows, const WindowSpread& spread) {
    sim::World world;
    const auto onLeft = [&](SpaceID space) {
        for (const auto& s : left.spaces)
            if (s.id == space) return true;
        return false;
    };

    for (int i = 0; i < appCount; ++i) {
        sim::App app;
        app.name = "App " + std::to_string(i);
        app.bundleID = "com.example.app" + std::to_string(i);
        app.path = "/Applications/App " + std::to_string(i) + ".app";
        app.running = true;
        app.pid = firstAppPID + i;
        world.apps.push_back(std::move(app));
    }
    world.lastPID = firstAppPID + appCount;

    const auto desktops = static_cast<int>(spread.desktops.size());
    for (int i = 0; i < windows; ++i) {
        sim::Window window;
        window.id = static_cast<WindowID>(i + 1);
        window.pid = firstAppPID + i % appCount;
        window.title = "Document " + std::to_string(i);
        const SpaceID space = spread.desktops[static_cast<std::size_t>(i % desktops)];
        window.frame = onLeft(space) ? builtInFrame(i) : studioFrame(i);
        const bool everywhere = spread.onEveryDesktopEvery > 0 && i % spread.onEveryDesktopEvery == 0;
        window.spaces = everywhere ? spread.desktops : std::vector<SpaceID>{space};
        window.minimized = spread.minimizedEvery > 0 && i % spread.minimizedEvery == 0;
        world.windows.push_back(std::move(window));
    }
    world.lastWindowID = static_cast<WindowID>(windows);
    world.displays = {std::move(left), std::move(right)};
    return world;
}

sim::World twoDesktopsEach(int windows) {
    return world(builtInDisplay({{1, "S1", false, std::nullopt}, {2, "S2", false, std::nullopt}}, 1),
                 studioDisplay({{4, "S4", false, std::nullopt}, {5, "S5", false, std::nullopt}}, 4), windows,
                 WindowSpread{{1, 2, 4, 5}});
}

BenchMac::BenchMac(sim::World world)
    : loop(std::make_unique<WorldClock>(sim::defaultWorldStart())), mac(std::move(world), loop),
      platform(mac.platform()), skyLight(platform.desktopFunctions, platform.workspace), names(platform.defaults),
      inventory(platform, skyLight,
                [this](const SpaceInfo& space, std::string_view uuid) { return names.nickname(space, uuid); }) {}

void BenchMac::refreshPlatformCalls() {
    auto& p = platform;
    const sim::World& state = mac.world();

    const auto ids = p.windowServer.activeDisplayList(Inventory::maxDisplays);
    const std::int32_t connection = p.desktopFunctions.mainConnectionID();
    benchmark::DoNotOptimize(p.desktopFunctions.copyManagedDisplaySpaces(connection));
    int ordinaryDesktops = 0;
    for (const auto& display : state.displays) {
        for (const auto& space : display.spaces) {
            if (!space.fullscreen)
                ++ordinaryDesktops;
            else if (space.pid)
                benchmark::DoNotOptimize(p.workspace.runningApplication(*space.pid));
        }
    }
    benchmark::DoNotOptimize(p.screens.screens());
    for (const DisplayID id : ids.value_or(std::vector<DisplayID>{})) {
        benchmark::DoNotOptimize(p.windowServer.displayUUID(id));
        benchmark::DoNotOptimize(p.windowServer.displayBounds(id));
        benchmark::DoNotOptimize(p.windowServer.displayVendorNumber(id));
        benchmark::DoNotOptimize(p.windowServer.displayModelNumber(id));
        benchmark::DoNotOptimize(p.windowServer.displaySerialNumber(id));
        benchmark::DoNotOptimize(p.windowServer.displayIsMain(id));
    }
    for (int i = 0; i < ordinaryDesktops; ++i)
        benchmark::DoNotOptimize(p.defaults.object(platform::DefaultsKeys::desktopNames));

    const auto list = p.windowServer.copyWindowList(platform::WindowServer::ListOption::allExcludingDesktopElements);
    if (!list) return;
    std::set<ProcessID> owners;
    for (const auto& entry : *list) {
        const auto number = entry.member(platform::WindowKeys::number)->asUInt32();
        benchmark::DoNotOptimize(p.desktopFunctions.mainConnectionID());
        benchmark::DoNotOptimize(p.desktopFunctions.copySpacesForWindows(
            connection, SkyLight::allSpacesSelector, platform::PropertyValue::Array{platform::PropertyValue(*number)}));
        const auto pid = *entry.member(platform::WindowKeys::ownerPID)->asInt32();
        if (owners.insert(pid).second) benchmark::DoNotOptimize(p.workspace.runningApplication(pid));
    }
}

std::vector<SavedLayout> savedLayouts(int count, int windowsEach) {
    BenchMac mac(twoDesktopsEach(windowsEach));
    const Timestamp start(std::chrono::seconds(1769850300));
    const SavedLayout captured =
        Capture::capture("", mac.inventory, nullptr, Capture::bundlePaths(mac.platform.workspace), start);

    std::vector<SavedLayout> layouts;
    layouts.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        SavedLayout layout = captured;
        // A version 4 UUID made of the index, so that every run writes the same file.
        std::array<std::uint8_t, 16> bytes{};
        for (int b = 0; b < 4; ++b) bytes[static_cast<std::size_t>(15 - b)] = static_cast<std::uint8_t>(i >> (8 * b));
        bytes[6] = 0x40;
        bytes[8] = 0x80;
        layout.id = Uuid(bytes);
        layout.name = "Layout " + std::to_string(i + 1);
        layout.created = start + std::chrono::minutes(i);
        layout.updated = layout.created + std::chrono::seconds(i % 600);
        for (auto& window : layout.windows) window.frame = window.frame.offsetBy(i % 40, i % 30);
        layouts.push_back(std::move(layout));
    }
    return layouts;
}

void describe(benchmark::State& state, const std::string& text) { state.SetLabel(text); }

void perItem(benchmark::State& state, int items) {
    state.SetItemsProcessed(state.iterations() * items);
    state.counters["per_item"] =
        benchmark::Counter(items, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace qw::bench
