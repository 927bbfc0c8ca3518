// `tomorine-cli add` as a user runs it: the whole process, from its start to
// its exit, on a data file of 10,000 and 60,000 entries, with its peak RSS.
#include "entry_generator.h"
#include "store/xls/xls_file.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tomorine::bench {
namespace {

namespace fs = std::filesystem;

// The exit status, or -1; the child's peak RSS in KiB goes to `peakKib`.
int RunAdd(const fs::path& data, const std::string& url, long& peakKib) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        // TOMORINE_BENCH_CLI names another build to compare with.
        const char* cli = std::getenv("TOMORINE_BENCH_CLI");
        ::execl(cli != nullptr ? cli : TOMORINE_CLI, "tomorine-cli", "add", "--data", data.c_str(),
                "--url", url.c_str(), "--title", "ベンチマークの題名", "--keywords", "猫 料理",
                nullptr);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child) {
        return -1;
    }
    peakKib = std::max(peakKib, usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Entries as the generator makes them (long comments and subtitles), or
// (second argument 1) as a browser's bookmarks come in: URL, title, keywords.
std::vector<Entry> Entries(const benchmark::State& state) {
    std::vector<Entry> entries = GenerateEntries(static_cast<int>(state.range(0)));
    if (state.range(1) == 1) {
        for (Entry& entry : entries) {
            entry.subtitle.clear();
            entry.comment.clear();
        }
    }
    return entries;
}

void BM_CliAdd(benchmark::State& state) {
    const fs::path dir =
        fs::temp_directory_path() / ("tomorine-bench-cli-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path data = dir / "data.xls";
    WriteXlsFile(DataWorkbookWith(Entries(state)), data);
    ::malloc_trim(0); // a child's peak starts from what it was forked with
    long peakKib = 0;
    int n = 0;
    for (auto _ : state) {
        if (RunAdd(data, "https://bench.example/" + std::to_string(++n), peakKib) != 0) {
            state.SkipWithError("tomorine-cli add failed");
            break;
        }
    }
    state.counters["peak_rss_MiB"] = static_cast<double>(peakKib) / 1024;
    state.counters["file_MB"] = static_cast<double>(fs::file_size(data)) / 1e6;
    fs::remove_all(dir);
}

BENCHMARK(BM_CliAdd)
    ->Args({10000, 0})
    ->Args({60000, 0})
    ->Args({60000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
