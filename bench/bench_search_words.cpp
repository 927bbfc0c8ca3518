// The word test of a search over 10,000 entries: every one of the five field
// texts of every entry goes through ContainsAllWords, as the search command
// does for each candidate row. Items are entries.
#include "entry_generator.h"
#include "search/contains_all_words.h"
#include "search/search_texts.h"

#include <benchmark/benchmark.h>

namespace tomorine::bench {
namespace {

constexpr int EntryCount = 10'000;

const std::vector<Entry>& Entries() {
    static const std::vector<Entry> entries = GenerateEntries(EntryCount);
    return entries;
}

int CountMatches(const SearchTexts& search) {
    int hits = 0;
    for (const Entry& e : Entries()) {
        // all five are always tested, as the matchers are
        bool url = ContainsAllWords(e.url, search.url);
        bool title = ContainsAllWords(e.title, search.title);
        bool subtitle = ContainsAllWords(e.subtitle, search.subtitle);
        bool keywords = ContainsAllWords(e.keywords, search.keywords);
        bool comment = ContainsAllWords(e.comment, search.comment);
        hits += url && title && subtitle && keywords && comment;
    }
    return hits;
}

void RunSearch(benchmark::State& state, const SearchTexts& search) {
    Entries();
    int hits = 0;
    for (auto _ : state) {
        hits = CountMatches(search);
        benchmark::DoNotOptimize(hits);
    }
    state.SetItemsProcessed(state.iterations() * EntryCount);
    state.counters["hits"] = hits;
}

// Mostly misses: most fields stop at their first word.
void BM_SearchTypicalWords(benchmark::State& state) {
    RunSearch(state, {u"example", u"日本 技術", u"ＡＢＣ", u"Linux", u"写真　料理"});
}

// Words that occur often, so most fields test every word to the end.
void BM_SearchCommonWords(benchmark::State& state) {
    RunSearch(state, {u"HTTPS ｗｗｗ .co.jp", u"の", u"あ", u"ニュース", u"あ い う"});
}

BENCHMARK(BM_SearchTypicalWords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchCommonWords)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
