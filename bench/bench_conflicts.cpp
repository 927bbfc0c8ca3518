// Conflict copies: finding them by name in a folder of 10,000 files, and
// counting and merging a 10,000-entry copy (half of it new) into a
// 10,000-entry data file, from the reads to the save and the move aside.
#include "entry_generator.h"
#include "merge/conflict_copies.h"
#include "merge/conflict_merge.h"
#include "store/xls/xls_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>

namespace tomorine::bench {
namespace {

namespace fs = std::filesystem;

const fs::path kDir = fs::temp_directory_path() / "tomorine-bench-conflicts";

void BM_FindConflictCopies(benchmark::State& state) {
    fs::remove_all(kDir);
    fs::create_directories(kDir);
    for (int i = 0; i < state.range(0); ++i) {
        std::ofstream(kDir / ("bm-" + std::to_string(i) + ".xls"));
    }
    std::ofstream(kDir / "bm.sync-conflict-20261206-134501-ABCDEF1.xls");
    std::ofstream(kDir / "bm (conflicted copy 2026-12-06 134501).xls");
    std::size_t found = 0;
    for (auto _ : state) {
        found = FindConflictCopies(kDir / "bm.xls").size();
    }
    if (found != 2) {
        state.SkipWithError("wrong number of copies found");
    }
    fs::remove_all(kDir);
}

struct Files {
    fs::path data = kDir / "bm.xls";
    fs::path copy = kDir / "bm.sync-conflict-20261206-134501-ABCDEF1.xls";
    fs::path original = kDir / "original.xls";
    fs::path originalCopy = kDir / "original-copy.xls";

    explicit Files(int entries) {
        fs::remove_all(kDir);
        fs::create_directories(kDir);
        std::vector<Entry> data = GenerateEntries(entries);
        std::vector<Entry> copy(data.begin(), data.begin() + entries / 2);
        for (Entry& fresh : GenerateEntries(entries - entries / 2, 77)) {
            copy.push_back(std::move(fresh));
        }
        WriteXlsFile(DataWorkbookWith(data), original);
        WriteXlsFile(DataWorkbookWith(copy), originalCopy);
        restore();
    }
    ~Files() { fs::remove_all(kDir); }
    void restore() const {
        fs::remove_all(kDir / "conflicts");
        fs::copy_file(original, data, fs::copy_options::overwrite_existing);
        fs::copy_file(originalCopy, copy, fs::copy_options::overwrite_existing);
    }
};

void BM_CountConflictCopy(benchmark::State& state) {
    const Files files(static_cast<int>(state.range(0)));
    int fresh = 0;
    for (auto _ : state) {
        fresh = InspectConflictCopies(files.data, {files.copy})[0].newEntries;
    }
    state.counters["new"] = fresh;
}

void BM_MergeConflictCopy(benchmark::State& state) {
    const Files files(static_cast<int>(state.range(0)));
    StoreState store;
    UpgradeState flags;
    store.dataFilePath = files.data;
    UpgradeContext context{store, flags, {}};
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        files.restore();
        state.ResumeTiming();
        added = MergeConflictCopies(context, {files.copy})[0].added;
    }
    state.counters["added"] = added;
    state.counters["peak_rss_mb"] = PeakRssMb();
}

BENCHMARK(BM_FindConflictCopies)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CountConflictCopy)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MergeConflictCopy)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
