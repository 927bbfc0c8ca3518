// Merging a reference workbook into a data workbook, all stages from the
// read of both files to the save: 5,000 reference entries (half of them
// already present) into 10,000, and 60,000 (55,000 present) into 60,000,
// which fills the sheet nearly to the format's limit. Also the merge's
// select alone on the same sheets, and as SQLite runs it without the index. Peak RSS is reported as
// a counter.
#include "entry_generator.h"
#include "merge/merge_engine.h"
#include "merge/merge_statements.h"
#include "store/entry.h"
#include "store/table/connection.h"
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
    std::vector<Entry> data = GenerateEntries(sizes.data);
    WriteXlsFile(DataWorkbookWith(data), dir / "data.xls");
    WriteXlsFile(DataWorkbookWith(ReferenceEntries(data, sizes)), dir / "ref.xls");

    StoreState store;
    UpgradeState flags;
    store.DataFilePath = dir / "work" / "bm.xls";
    UpgradeContext context{store, flags, {}};
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(dir / "data.xls", store.DataFilePath, fs::copy_options::overwrite_existing);
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

// The select alone, on the data sheet with the reference copied in as tmp;
// "nested": with one more always-true condition, which hides the form from
// the table interface's index, as SQLite runs it by itself.
void RunMergeSelect(benchmark::State& state, bool nested) {
    const Sizes sizes = SizesOf(state);
    std::vector<Entry> data = GenerateEntries(sizes.data);
    Workbook book = DataWorkbookWith(data);
    Workbook reference = DataWorkbookWith(ReferenceEntries(data, sizes));
    Sheet& tmp = book.copySheetAfter(reference.sheet(1), book.sheet(1));
    book.renameSheet(tmp, u"tmp");
    Connection connection("/nonexistent/bench.xls", std::move(book));
    std::u16string sql = BuildMergeSelectStatement();
    if (nested) {
        sql.insert(sql.size() - 2, u" and 1 = 1");
    }
    long picked = 0;
    for (auto _ : state) {
        picked = connection.execute(sql).recordCount();
    }
    state.counters["picked"] = static_cast<double>(picked);
}

void BM_MergeSelect(benchmark::State& state) {
    RunMergeSelect(state, false);
}

void BM_MergeSelectNested(benchmark::State& state) {
    RunMergeSelect(state, true);
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
BENCHMARK(BM_MergeSelectNested)
    ->Args({10000, 2500, 2500})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
