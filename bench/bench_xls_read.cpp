// Reading real .xls files written by Excel (the shared corpus) and a data
// workbook of the reference size written by us.
#include "entry_generator.h"
#include "store/xls/xls_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadCorpusFile(const char* name) {
    std::ifstream in(std::filesystem::path(TOMORINE_CORPUS_DIR) / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void ReadBytes(benchmark::State& state, const Bytes& bytes) {
    if (bytes.empty()) {
        state.SkipWithError("the .xls corpus is not there");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(tomorine::ReadXlsBytes(bytes, "bench.xls"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_ReadTest10x10000(benchmark::State& state) {
    static const Bytes bytes = ReadCorpusFile("edr__Test10x10000.xls");
    ReadBytes(state, bytes);
}

void BM_Read46904(benchmark::State& state) {
    static const Bytes bytes = ReadCorpusFile("poi__46904.xls");
    ReadBytes(state, bytes);
}

void BM_ReadDataWorkbook10000(benchmark::State& state) {
    using namespace tomorine::bench;
    static const Bytes bytes = tomorine::WriteXlsBytes(DataWorkbookWith(GenerateEntries(10000)));
    ReadBytes(state, bytes);
}

BENCHMARK(BM_ReadTest10x10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read46904)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDataWorkbook10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
