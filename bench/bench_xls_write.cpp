// Writing a data workbook of the reference size (10,000 entries) and of the
// format's limit.
#include "entry_generator.h"
#include "store/xls/xls_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace tomorine;

Workbook DataWorkbook(int entries) {
    return bench::DataWorkbookWith(bench::GenerateEntries(entries));
}

void BM_WriteXlsBytes(benchmark::State& state) {
    const Workbook book = DataWorkbook(static_cast<int>(state.range(0)));
    std::size_t size = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = WriteXlsBytes(book);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
}
BENCHMARK(BM_WriteXlsBytes)->Arg(10000)->Arg(65534)->Unit(benchmark::kMillisecond);

// The whole save, with the flush to disk and the rename.
void BM_WriteXlsFile(benchmark::State& state) {
    const Workbook book = DataWorkbook(static_cast<int>(state.range(0)));
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("bench_xls_write_" + std::to_string(::getpid()) + ".xls");
    for (auto _ : state) {
        WriteXlsFile(book, path);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_WriteXlsFile)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
