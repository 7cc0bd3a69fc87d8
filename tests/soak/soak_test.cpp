#include "soak/invariants.h"
#include "soak/soak.h"

#include "platform/sim/simulated_mac.h"
#include "platform/sim/world_changes.h"
#include "store/layout_store.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace qw::soak {
namespace {

using test_support::TempFolder;

sim::World fixtureWorld() {
    auto world = sim::readWorldFile(std::string(QW_SOURCE_DIR) + "/tests/soak/soak_world.json");
    if (!world) ADD_FAILURE() << world.message();
    return world ? std::move(world).value() : sim::World{};
}

std::uint64_t fromEnvironment(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    return *end == '\0' ? value : fallback;
}

struct Soak {
    TempFolder folder;
    SoakOptions options;

    Soak(std::uint64_t seed, std::size_t events) {
        options.seed = seed;
        options.events = events;
        options.world = fixtureWorld();
        options.layoutsFile = folder / "layouts.json";
        writeFixtureLayouts(options.world, options.layoutsFile);
    }
};

// The short soak CI runs; QW_SOAK_EVENTS and QW_SOAK_SEED make it the full one
// (scripts/soak.sh), and QW_SOAK_TRACE names a file for every step played.
TEST(Soak, SeededTimelineKeepsEveryInvariant) {
    Soak soak(fromEnvironment("QW_SOAK_SEED", 20260302), fromEnvironment("QW_SOAK_EVENTS", 400));
    std::ofstream trace;
    if (const char* path = std::getenv("QW_SOAK_TRACE"); path && *path) {
        trace.open(path);
        soak.options.trace = &trace;
    }
    const SoakResult result = runSoak(soak.options);
    std::cout << summary(result);

    EXPECT_EQ(result.events, soak.options.events);
    EXPECT_TRUE(result.findings.empty()) << summary(result);
    // Not vacuous: restores ran, reports were held against the Mac, the canvas had tile groups.
    EXPECT_GT(result.automaticRuns, 0u);
    EXPECT_GT(result.reports, 0u);
    EXPECT_GT(result.stepsWithTileGroups, 0u);
}

TEST(Soak, ASeedAlwaysPlaysTheSameRun) {
    Soak first(7, 40), again(7, 40), other(8, 40);
    const SoakResult one = runSoak(first.options);
    const SoakResult two = runSoak(again.options);
    EXPECT_EQ(one.fingerprint, two.fingerprint);
    EXPECT_EQ(one.reports, two.reports);
    EXPECT_EQ(one.worldSeconds, two.worldSeconds);
    EXPECT_NE(one.fingerprint, runSoak(other.options).fingerprint);
}

TEST(Soak, FixtureLayoutsCoverThreeDisplaySetsFromTheCapturePath) {
    Soak soak(1, 0);
    const LayoutStore store(soak.options.layoutsFile);
    ASSERT_FALSE(store.problem()) << *store.problem();
    ASSERT_EQ(store.layouts().size(), 4u);
    const auto& l = store.layouts();
    EXPECT_TRUE(l[0].autoRestore);
    EXPECT_FALSE(l[1].autoRestore);
    EXPECT_TRUE(l[0].hasSameDisplays(l[1]));
    EXPECT_EQ(l[2].displays.size(), 1u);
    EXPECT_TRUE(l[2].autoRestore && l[3].autoRestore);
    EXPECT_FALSE(l[3].hasSameDisplays(l[0]));
    for (const SavedLayout& layout : l) EXPECT_FALSE(layout.windows.empty()) << layout.name;
}

// ---- The checks themselves catch what they are for ---------------------------------------------------

TEST(SoakInvariants, TileGroupsMustHoldTwoWindowsWithOneShareEach) {
    const auto group = [](std::vector<WindowID> windows, std::vector<double> fractions) {
        return TileGroup{Uuid::random(), "D", TileAxis::columns, std::move(windows), std::move(fractions)};
    };
    struct Case {
        const char* name;
        std::vector<TileGroup> groups;
        bool broken;
    };
    const Case cases[] = {
        {"sound", {group({1, 2, 3}, {0.5, 0.25, 0.25}), group({4, 5}, {0.5, 0.5})}, false},
        {"one window", {group({1}, {1})}, true},
        {"a share missing", {group({1, 2, 3}, {0.5, 0.5})}, true},
        {"a zero share", {group({1, 2}, {1, 0})}, true},
        {"shares not adding up", {group({1, 2}, {0.5, 0.4})}, true},
        {"a share not a number", {group({1, 2}, {0.5, std::nan("")})}, true},
        {"a window in two groups", {group({1, 2}, {0.5, 0.5}), group({2, 3}, {0.5, 0.5})}, true},
    };
    for (const Case& c : cases) EXPECT_EQ(checkTileGroups(c.groups).has_value(), c.broken) << c.name;
}

TEST(SoakInvariants, BusyFlagsOnlyWhileTheirOperationRuns) {
    struct Case {
        const char* name;
        BusyState state;
        bool broken;
    };
    const Case cases[] = {
        {"quiet", BusyState{}, false},
        {"space mover during an apply", BusyState{true, false, true, false, 0, false, false}, false},
        {"space mover during a window action", BusyState{true, false, false, false, 0, true, false}, false},
        {"space mover with nothing running", BusyState{true, false, false, false, 0, false, false}, true},
        {"desktop manager with nothing running", BusyState{false, true, true, false, 0, false, false}, true},
        {"a restore scheduled between events", BusyState{false, false, false, true, 2, false, false}, false},
        {"a restore scheduled once idle", BusyState{false, false, false, true, 0, false, true}, true},
        {"an app restore once idle", BusyState{false, false, false, false, 1, false, true}, true},
        {"finishing once idle", BusyState{false, false, true, false, 0, false, true}, true},
    };
    for (const Case& c : cases) EXPECT_EQ(checkBusyFlags(c.state).has_value(), c.broken) << c.name;
}

TEST(SoakInvariants, TheLayoutsFileMustLoadAndMatchTheStore) {
    TempFolder folder;
    const auto file = folder / "layouts.json";
    LayoutStore store(file);
    SavedLayout layout;
    layout.id = Uuid::random();
    layout.name = "Desk";
    store.add(layout);
    EXPECT_FALSE(checkLayoutsFile(store));

    test_support::writeFile(file, R"({"version": 1, "layouts": []})");
    EXPECT_TRUE(checkLayoutsFile(store));
    test_support::writeFile(file, "{\"version\": 1, \"layouts\": [");
    EXPECT_TRUE(checkLayoutsFile(store));
}

TEST(SoakInvariants, AReportMayNotClaimMoreMovesThanTheMacSaw) {
    sim::World world;
    world.windows = {sim::Window{1, 100, "", Rect(0, 0, 400, 300), {1}, false, 0, 1},
                     sim::Window{2, 100, "", Rect(500, 0, 400, 300), {1}, false, 0, 1}};
    MoveLedger ledger(world);
    ledger.beginTurn();
    const std::uint64_t turn = ledger.turn();
    world.windows[0].frame = Rect(10, 10, 400, 300);
    world.windows[1].spaces = {2};
    world.windows.push_back(sim::Window{3, 100, "", Rect(0, 0, 400, 300), {1}, false, 0, 1});
    ledger.sample();
    EXPECT_EQ(ledger.changedSince(turn), 3u);

    ledger.beginTurn();
    EXPECT_EQ(ledger.changedSince(ledger.turn()), 0u);
    EXPECT_TRUE(checkReportMoves(Report{1, {}, std::nullopt, std::nullopt, false}, 0));
    EXPECT_FALSE(checkReportMoves(Report{3, {}, std::nullopt, std::nullopt, false}, ledger.changedSince(turn)));
}

} // namespace
} // namespace qw::soak
