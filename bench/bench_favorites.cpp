// The whole Favorites import: 1,000 Internet shortcuts in nested folders, half
// of them already registered, into a data file of 10,000 entries: the walk,
// reading every shortcut, the look-ups, the inserts and the saves.
#include "entry_generator.h"
#include "favorites/favorites_import.h"
#include "scratch_data_file.h"
#include "store/workbook/utf.h"

#include <benchmark/benchmark.h>
#include <fstream>

namespace tomorine::bench {
namespace {

namespace fs = std::filesystem;

// The data file and, beside it, a Favorites folder of `shortcuts` shortcuts,
// every other one to a registered URL.
struct Fixture {
    ScratchDataFile file;
    fs::path favorites;

    Fixture(int entries, int shortcuts) : Fixture(GenerateEntries(entries), shortcuts) {}
    Fixture(const std::vector<Entry>& registered, int shortcuts)
        : file(registered), favorites(file.dir() / "Favorites") {
        std::vector<Entry> fresh = GenerateEntries(shortcuts, 7);
        for (int i = 0; i < shortcuts; ++i) {
            // Ten folders of ten subfolders, ten shortcuts in each.
            fs::path folder = favorites / ("フォルダ" + std::to_string(i / 100)) /
                              ("sub" + std::to_string(i / 10 % 10));
            fs::create_directories(folder);
            const Entry& source = i % 2 == 0 ? registered[static_cast<size_t>(i) * 7] : fresh[i];
            std::ofstream(folder / ("お気に入り" + std::to_string(i) + ".url"))
                << "[InternetShortcut]\r\nURL=" << ToUtf8(source.url) << "\r\n";
        }
    }
};

void BM_FavoritesImport(benchmark::State& state) {
    Fixture fixture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    FavoritesState favorites;
    for (auto _ : state) {
        state.PauseTiming();
        StoreState store = fixture.file.restored();
        ShortcutCounters counters;
        ResetImportCounts(favorites, counters);
        state.ResumeTiming();
        ImportContext context{store, favorites, counters, {}};
        ImportOutcome outcome = RunFavoritesImport(context, fixture.favorites);
        if (outcome.failure) {
            state.SkipWithError(outcome.failure->what());
            break;
        }
    }
    state.counters["registered"] = favorites.registeredCount;
    state.counters["existing"] = favorites.existingCount;
    state.counters["peak_rss_mb"] = PeakRssMb();
}

BENCHMARK(BM_FavoritesImport)
    ->Args({10000, 1000})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
