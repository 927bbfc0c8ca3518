// The entry store on a data workbook of 10,000 and 60,000 entries: loading
// the file, the search statement with every field read, and one insert
// including the save on close. Peak RSS is reported as a counter; run one
// benchmark per process (--benchmark_filter) to read it per case.
#include "entry_generator.h"
#include "store/data_connection.h"
#include "store/live_entries.h"
#include "store/xls/xls_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <map>

namespace tomorine::bench {
namespace {

// One file per size, written once per process under the temporary folder.
const std::filesystem::path& DataFile(int entries) {
    static std::map<int, std::filesystem::path> files;
    auto it = files.find(entries);
    if (it == files.end()) {
        auto path = std::filesystem::temp_directory_path() /
                    ("tomorine-bench-" + std::to_string(entries) + ".xls");
        WriteXlsFile(DataWorkbookWith(GenerateEntries(entries)), path);
        it = files.emplace(entries, path).first;
    }
    return it->second;
}

void BM_LoadFile(benchmark::State& state) {
    const auto& path = DataFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Workbook book = ReadXlsFile(path);
        benchmark::DoNotOptimize(book);
    }
    state.counters["file_MB"] = std::filesystem::file_size(path) / 1e6;
    state.counters["peak_rss_MB"] = PeakRssMb();
}

void BM_SelectAllLiveEntries(benchmark::State& state) {
    const auto& path = DataFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Recordset rs = LiveEntries(path);
        size_t units = 0;
        for (; !rs.eof(); rs.moveNext()) {
            Entry e = ReadEntry(rs);
            units += e.url.size() + e.title.size() + e.comment.size();
        }
        benchmark::DoNotOptimize(units);
    }
    state.counters["peak_rss_MB"] = PeakRssMb();
}

void BM_InsertAndSave(benchmark::State& state) {
    const auto& source = DataFile(static_cast<int>(state.range(0)));
    auto path = source.parent_path() / ("tomorine-bench-insert-" + source.filename().string());
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    Entry entry = GenerateEntries(1, 7).front();
    std::int32_t serial = QueryMaxSerial(path);
    for (auto _ : state) {
        Connection connection(path);
        InsertEntry(connection, ++serial, ChunkValues(entry));
        connection.close();
    }
    std::filesystem::remove(path);
    state.counters["peak_rss_MB"] = PeakRssMb();
}

BENCHMARK(BM_LoadFile)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAllLiveEntries)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertAndSave)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
