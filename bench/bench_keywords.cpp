// The keyword list on data workbooks of 10,000 and 60,000 entries with five
// keywords each, end to end: from the file on disk to the list (the engine
// alone), and from the click on キーワード一覧 to the filled list. The keywords
// are drawn from a vocabulary of "words" (2,000: a user's keywords repeat;
// 60,000: near the most distinct keywords the list takes) or, with 0, every
// keyword occurs once (the most inserts 10,000 entries can ask for).
#include "entry_generator.h"
#include "keywords/keyword_list.h"
#include "main_window_harness.h"
#include "store/xls/xls_file.h"

#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>
#include <string>

namespace tomorine::bench {
namespace {

std::u16string Word(int number) {
    std::string digits = std::to_string(number);
    return u"語" + std::u16string(digits.begin(), digits.end());
}

// Five keywords an entry, between single spaces.
std::vector<Entry> EntriesWithFiveKeywords(int count, int words) {
    std::vector<Entry> entries = GenerateEntries(count);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(1, std::max(words, 1));
    int next = 0;
    for (Entry& e : entries) {
        e.keywords.clear();
        for (int k = 0; k < 5; ++k) {
            e.keywords += (k == 0 ? u"" : u" ") + Word(words == 0 ? ++next : pick(random));
        }
    }
    return entries;
}

void WriteDataFile(const std::filesystem::path& file, const benchmark::State& state) {
    WriteXlsFile(DataWorkbookWith(EntriesWithFiveKeywords(static_cast<int>(state.range(0)),
                                                          static_cast<int>(state.range(1)))),
                 file);
}

void BM_ListKeywords(benchmark::State& state) {
    test::TempDir dir;
    const std::filesystem::path file = dir.path() / "keywords.xls";
    WriteDataFile(file, state);
    size_t listed = 0;
    for (auto _ : state) {
        listed = ListKeywords(file).size();
    }
    state.counters["listed"] = static_cast<double>(listed);
    state.counters["peak_MB"] = PeakRssMb();
}

void BM_KeywordListCommand(benchmark::State& state) {
    test::MainWindowHarness harness;
    WriteDataFile(harness.defaultDataFile(), state);
    harness.load();
    for (auto _ : state) {
        harness.window().keywordListButton->click();
    }
    state.counters["listed"] = harness.window().resultList->count();
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"entries", "words"})->Unit(benchmark::kMillisecond);
    b->Args({10000, 2000})->Args({10000, 0})->Args({60000, 2000})->Args({60000, 60000});
}

BENCHMARK(BM_ListKeywords)->Apply(Sizes);
BENCHMARK(BM_KeywordListCommand)->Apply(Sizes);

} // namespace
} // namespace tomorine::bench
