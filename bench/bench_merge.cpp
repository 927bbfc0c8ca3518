// Merging a reference workbook into a data workbook, all stages from the
// read of both files to the save: 5,000 reference entries (half of them
// already present) into 10,000, and 60,000 (55,000 present) into 60,000,
// which fills the sheet nearly to the format's limit. Also the pick of the
// rows to add alone, on the same sheets. The merge's peak RSS is reported as a
// counter.
#include "entry_generator.h"
#include "merge/merge_engine.h"
#include "merge/unheld_rows.h"
#include "store/cache/workbook_cache.h"
#include "store/entry.h"
#include "store/xls/xls_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace tomorine::bench {
namespace {

namespace fs = std::filesystem;

struct Sizes {
    int data;
    int present; // reference entries the data workbook holds
    int fresh;   // reference entries it does not
};

Sizes SizesOf(const benchmark::State& state) {
    return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
            static_cast<int>(state.range(2))};
}

// The reference: fresh and present entries interleaved.
std::vector<Entry> ReferenceEntries(const std::vector<Entry>& data, const Sizes& sizes) {
    std::vector<Entry> fresh = GenerateEntries(sizes.fresh, 77);
    std::vector<Entry> reference;
    for (int i = 0, p = 0, f = 0; i < sizes.present + sizes.fresh; ++i) {
        bool takeFresh = f < sizes.fresh && (p >= sizes.present || i % 2 == 0);
        reference.push_back(takeFresh ? fresh[f++] : data[(p++ * 7) % data.size()]);
    }
    return reference;
}

void BM_MergeReferenceData(benchmark::State& state) {
    const Sizes sizes = SizesOf(state);
    const fs::path dir = fs::temp_directory_path() / "tomorine-bench-merge";
    fs::remove_all(dir);
    fs::create_directories(dir / "work");
    {
        std::vector<Entry> data = GenerateEntries(sizes.data);
        WriteXlsFile(DataWorkbookWith(data), dir / "data.xls");
        WriteXlsFile(DataWorkbookWith(ReferenceEntries(data, sizes)), dir / "ref.xls");
    }
    ResetPeakRss(); // the merge's own peak, not the making of its files

    StoreState store;
    UpgradeState flags;
    store.dataFilePath = dir / "work" / "bm.xls";
    UpgradeContext context{store, flags, {}};
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(dir / "data.xls", store.dataFilePath, fs::copy_options::overwrite_existing);
        DataWorkbookCache().load(store.dataFilePath); // as the version check leaves it
        state.ResumeTiming();
        added = MergeReferenceData(context, dir / "ref.xls").added;
    }
    if (added != sizes.fresh) {
        state.SkipWithError("wrong number of entries added");
    }
    state.counters["added"] = added;
    state.counters["peak_rss_mb"] = PeakRssMb();
    fs::remove_all(dir);
}

// The pick alone (UnheldRows), as the merge's select was measured before.
void BM_MergeSelect(benchmark::State& state) {
    const Sizes sizes = SizesOf(state);
    std::vector<Entry> data = GenerateEntries(sizes.data);
    const Workbook book = DataWorkbookWith(data);
    const Workbook reference = DataWorkbookWith(ReferenceEntries(data, sizes));
    long picked = 0;
    for (auto _ : state) {
        picked =
            static_cast<long>(UnheldRows(SheetRows(reference.sheet(1), "ref.xls"),
                                         SheetRows(book.sheet(1), "bench.xls"), MergeColumnNames())
                                  .size());
    }
    state.counters["picked"] = static_cast<double>(picked);
}

BENCHMARK(BM_MergeReferenceData)
    ->Args({10000, 2500, 2500})
    ->Args({60000, 55000, 5000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_MergeSelect)
    ->Args({10000, 2500, 2500})
    ->Args({60000, 55000, 5000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
