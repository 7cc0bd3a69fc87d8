// The layouts file at 1,000 layouts of 20 windows: opening the store (read and decode), a change
// that writes the whole file again, and encoding and decoding alone. Their "platform" is the file
// system: the same bytes read or written through LocalFileSystem, as the store does it.

#include "bench_world.h"

#include "store/file_system.h"
#include "store/layout_store.h"
#include "store/layouts_file.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace qw;
using namespace qw::bench;
namespace fs = std::filesystem;

constexpr int layoutCount = 1000;
constexpr int windowsEach = 20;

// The layouts, their file's bytes, and a temporary folder holding the file, made once for every
// benchmark here and removed at exit.
struct LayoutsOnDisk {
    LayoutsOnDisk() : layouts(savedLayouts(layoutCount, windowsEach)), bytes(LayoutsFile::encode(layouts)) {
        std::string pattern = (fs::temp_directory_path() / "quiltwright-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return;
        folder = pattern;
        file = folder / "layouts.json";
        LocalFileSystem().writeAtomically(file, bytes);
    }
    ~LayoutsOnDisk() {
        std::error_code ignored;
        if (!folder.empty()) fs::remove_all(folder, ignored);
    }

    std::vector<SavedLayout> layouts;
    std::string bytes;
    fs::path folder;
    fs::path file; // empty when no temporary folder could be made
};

const LayoutsOnDisk& onDisk() {
    static const LayoutsOnDisk instance;
    return instance;
}

const std::string sizeText = std::to_string(layoutCount) + " layouts × " + std::to_string(windowsEach) + " windows";

// False, with the benchmark marked failed, when the fixture is unusable.
bool ready(benchmark::State& state) {
    if (onDisk().file.empty()) {
        state.SkipWithError("no temporary folder");
        return false;
    }
    return true;
}

void fileBytes(benchmark::State& state) { state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(onDisk().bytes.size())); }

// ---- Ours ----------------------------------------------------------------------------------------

void BM_StoreLoad(benchmark::State& state) {
    if (!ready(state)) return;
    for (auto _ : state) {
        LayoutStore store(onDisk().file);
        if (store.layouts().size() != layoutCount) {
            state.SkipWithError("the file did not load");
            break;
        }
        benchmark::DoNotOptimize(store.layouts().data());
    }
    describe(state, "store load (read and decode), " + sizeText);
    fileBytes(state);
}

void BM_StorePersist(benchmark::State& state) {
    if (!ready(state)) return;
    const fs::path file = onDisk().folder / "persisted.json";
    LocalFileSystem().writeAtomically(file, onDisk().bytes);
    LayoutStore store(file);
    const Uuid first = store.layouts().front().id;
    bool flip = false;
    for (auto _ : state) {
        // A rename writes the whole file; the name changes each time so that each is a change.
        store.rename(first, (flip = !flip) ? "Renamed" : "Layout 1");
        if (store.hasUnsavedChanges()) {
            state.SkipWithError("the write failed");
            break;
        }
    }
    describe(state, "store change persisting the whole file, " + sizeText);
    fileBytes(state);
}

void BM_LayoutsFileDecode(benchmark::State& state) {
    if (!ready(state)) return;
    for (auto _ : state) {
        auto layouts = LayoutsFile::decode(onDisk().bytes);
        benchmark::DoNotOptimize(layouts);
    }
    describe(state, "LayoutsFile::decode alone, " + sizeText);
    fileBytes(state);
}

void BM_LayoutsFileEncode(benchmark::State& state) {
    if (!ready(state)) return;
    for (auto _ : state) {
        auto bytes = LayoutsFile::encode(onDisk().layouts);
        benchmark::DoNotOptimize(bytes.data());
    }
    describe(state, "LayoutsFile::encode alone, " + sizeText);
    fileBytes(state);
}

// ---- The file system -----------------------------------------------------------------------------

// The store's read: is the file there, then its bytes.
void readTheFile(benchmark::State& state) {
    if (!ready(state)) return;
    LocalFileSystem files;
    for (auto _ : state) {
        benchmark::DoNotOptimize(files.exists(onDisk().file));
        auto bytes = files.read(onDisk().file, LayoutStore::maxFileSize);
        benchmark::DoNotOptimize(bytes);
    }
    describe(state, "file system: read of the same bytes");
    fileBytes(state);
}

// The store's write: its folder made sure of, then the bytes replaced atomically (flushed to disk).
void writeTheFile(benchmark::State& state) {
    if (!ready(state)) return;
    LocalFileSystem files;
    const fs::path file = onDisk().folder / "written.json";
    for (auto _ : state) {
        benchmark::DoNotOptimize(files.createFolders(file.parent_path()));
        benchmark::DoNotOptimize(files.writeAtomically(file, onDisk().bytes));
    }
    describe(state, "file system: atomic write of the same bytes");
    fileBytes(state);
}

void BM_StoreLoad_Platform(benchmark::State& state) { readTheFile(state); }
void BM_LayoutsFileDecode_Platform(benchmark::State& state) { readTheFile(state); }
void BM_StorePersist_Platform(benchmark::State& state) { writeTheFile(state); }
void BM_LayoutsFileEncode_Platform(benchmark::State& state) { writeTheFile(state); }

BENCHMARK(BM_StoreLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreLoad_Platform)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StorePersist)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StorePersist_Platform)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutsFileDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutsFileDecode_Platform)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutsFileEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutsFileEncode_Platform)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
