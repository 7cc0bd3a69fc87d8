#pragma once

#include "platform/sim/world.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace qw::soak {

struct SoakOptions {
    std::uint64_t seed = 1;
    std::size_t events = 1000; // timeline events to play; the user's actions come on top
    sim::World world;
    std::filesystem::path layoutsFile; // loaded by the app's store, and written by it
    // The loop runs until idle, and every flag is checked against that, after this many events.
    std::size_t idleEvery = 25;
    // Every step as it is played, when given.
    std::ostream* trace = nullptr;
};

struct SoakResult {
    std::uint64_t seed = 0;
    std::size_t events = 0;        // timeline events played
    std::size_t actions = 0;       // user's actions played
    std::size_t skippedActions = 0; // actions whose window or layout had gone
    std::size_t checks = 0;        // invariant checks made
    std::size_t idlePoints = 0;    // times the loop was run until idle
    std::size_t reports = 0;       // editor reports seen
    std::size_t automaticRuns = 0; // lastRun lines of the automatic restorer
    double worldSeconds = 0;       // world time the soak spanned
    // That the editor invariants were exercised, not vacuous.
    std::size_t longestHistory = 0;
    std::size_t stepsWithTileGroups = 0;
    // Findings by invariant, and the first few of each in full: seed, step, event and what broke.
    std::map<std::string, std::size_t> failures;
    std::vector<std::string> findings;
    // A hash of every step played, to tell that a seed always gives the same run.
    std::uint64_t fingerprint = 0;
};

// Writes a layouts file of four layouts captured from `world` through the store's capture path:
// two on its displays (one for automatic restore), one on the first display alone and one on it
// with the projector (both for automatic restore).
void writeFixtureLayouts(const sim::World& world, const std::filesystem::path& file);

// Plays a seeded random timeline against the headless app with automatic restore on, checking the
// invariants after every step.
SoakResult runSoak(const SoakOptions& options);

// The figures and findings, a few lines for a person.
std::string summary(const SoakResult& result);

} // namespace qw::soak
