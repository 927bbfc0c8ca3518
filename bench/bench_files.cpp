// Reading files whole: a data file of 10 MB into its (not zero-filled)
// buffer, and the start-up settings from a settings file at the 1 MB bound
// filled with line breaks. Peak RSS is reported as a counter; run one
// benchmark per process (--benchmark_filter) to read it per case.
#include "entry_generator.h"
#include "store/files/file_bytes.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace tomorine::bench {
namespace {

namespace fs = std::filesystem;

fs::path WriteOnce(const std::string& name, const std::string& content) {
    const fs::path path = fs::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

void BM_ReadFileBytes10MB(benchmark::State& state) {
    static const fs::path file =
        WriteOnce("tomorine-bench-10mb.bin", std::string(10 << 20, 'x'));
    for (auto _ : state) {
        FileBytes bytes = ReadFileBytes(file);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * (10 << 20));
    state.counters["peak_rss_MB"] = PeakRssMb();
}

void BM_StartupSettingsOfOneMegabyteOfLineBreaks(benchmark::State& state) {
    static const fs::path folder = [] {
        const fs::path dir = fs::temp_directory_path() / "tomorine-bench-settings";
        fs::create_directories(dir);
        std::string text(kMaxSettingsFileBytes, '\n');
        std::ofstream(dir / std::string(kSettingsFileName), std::ios::binary) << text;
        return dir;
    }();
    for (auto _ : state) {
        StartupSettings settings = ReadStartupSettings((folder / "").string());
        benchmark::DoNotOptimize(settings);
    }
    state.counters["peak_rss_MB"] = PeakRssMb();
}

BENCHMARK(BM_ReadFileBytes10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupSettingsOfOneMegabyteOfLineBreaks)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
