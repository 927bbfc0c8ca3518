// `tomorine-cli add` as a user runs it: the whole process, from its start to
// its exit, on a data file of 10,000 and 60,000 entries, with its peak RSS;
// beside it the same add by a script over xlrd and xlwt.
#include "entry_generator.h"
#include "scratch_data_file.h"
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
#include <vector>

namespace tomorine::bench {
namespace {

namespace fs = std::filesystem;

// The exit status of `words` run as a process with its output dropped, or
// -1; the child's peak RSS in KiB goes to `peakKib`.
int Run(std::vector<std::string> words, long& peakKib) {
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(argv[0], argv.data());
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

// The words of an add of `url` to `data`.
using AddCommand = std::vector<std::string> (*)(const std::string& data, const std::string& url);

// Adds run on a fresh data file for each benchmark, until it has its time.
void RunAdds(benchmark::State& state, AddCommand command) {
    const ScratchDataFile scratch(Entries(state));
    ::malloc_trim(0); // a child's peak starts from what it was forked with
    long peakKib = 0;
    int n = 0;
    for (auto _ : state) {
        const std::string url = "https://bench.example/" + std::to_string(++n);
        if (Run(command(scratch.data().string(), url), peakKib) != 0) {
            state.SkipWithError("the add failed");
            break;
        }
    }
    state.counters["peak_rss_MiB"] = static_cast<double>(peakKib) / 1024;
    state.counters["file_MB"] = static_cast<double>(fs::file_size(scratch.data())) / 1e6;
}

void BM_CliAdd(benchmark::State& state) {
    RunAdds(state, [](const std::string& data, const std::string& url) {
        // TOMORINE_BENCH_CLI names another build to compare with.
        const char* cli = std::getenv("TOMORINE_BENCH_CLI");
        return std::vector<std::string>{cli != nullptr ? cli : TOMORINE_CLI,
                                        "add",
                                        "--data",
                                        data,
                                        "--url",
                                        url,
                                        "--title",
                                        "ベンチマークの題名",
                                        "--keywords",
                                        "猫 料理"};
    });
}

// The same add as a script over xlrd and xlwt does it (peer_add.py).
void BM_PeerScriptAdd(benchmark::State& state) {
    RunAdds(state, [](const std::string& data, const std::string& url) {
        return std::vector<std::string>{"/usr/bin/python3", TOMORINE_PEER_ADD, data, url,
                                        "ベンチマークの題名"};
    });
}

BENCHMARK(BM_CliAdd)
    ->Args({10000, 0})
    ->Args({60000, 0})
    ->Args({60000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// Seconds a run: one each.
BENCHMARK(BM_PeerScriptAdd)
    ->Args({60000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
