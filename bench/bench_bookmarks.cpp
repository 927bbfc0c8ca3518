// The whole import of a Firefox profile: 10,000 bookmarks in 100 folders, a
// tenth of them tagged, read from a copy of places.sqlite and imported into
// a data file of 10,000 entries (all new: the inserts and the saves).
#include "bookmarks/bookmarks_import.h"
#include "bookmarks/firefox_bookmarks.h"
#include "browser_files.h"
#include "entry_generator.h"
#include "store/data_connection.h"
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>

namespace tomorine::bench {
namespace {

namespace fs = std::filesystem;

struct Fixture {
    fs::path dir;
    fs::path data;
    std::vector<std::uint8_t> dataBytes;

    Fixture(int entries, int bookmarks) {
        std::string pattern = (fs::temp_directory_path() / "tomorine-bench-XXXXXX").string();
        dir = mkdtemp(pattern.data());
        data = dir / "トモリネ.xls";
        WriteXlsFile(DataWorkbookWith(GenerateEntries(entries)), data);
        std::ifstream in(data, std::ios::binary);
        dataBytes.assign(std::istreambuf_iterator<char>(in), {});
        test::PlacesFile places(dir / "places.sqlite");
        places.exec("BEGIN");
        long long folder = 0;
        for (int i = 0; i < bookmarks; ++i) {
            if (i % 100 == 0) {
                folder = places.folder(test::PlacesFile::kMenu, "フォルダ" + std::to_string(i));
            }
            const std::string url = "https://bookmarks.example/ページ/" + std::to_string(i);
            places.bookmark(folder, url, "ブックマーク " + std::to_string(i));
            if (i % 10 == 0) {
                places.tag(url, "タグ" + std::to_string(i % 7));
            }
        }
        places.exec("COMMIT");
    }
    ~Fixture() { fs::remove_all(dir); }

    void restoreData() const {
        std::ofstream out(data, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(dataBytes.data()),
                  static_cast<std::streamsize>(dataBytes.size()));
    }
};

void BM_FirefoxBookmarksImport(benchmark::State& state) {
    Fixture fixture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    BookmarksImportCounts counts;
    for (auto _ : state) {
        state.PauseTiming();
        fixture.restoreData();
        StoreState store;
        store.DataFilePath = fixture.data;
        state.ResumeTiming();
        const bool stop = false;
        BookmarksImportOutcome outcome = RunBookmarksImport(
            store, ReadFirefoxBookmarks(fixture.dir / "places.sqlite"), {}, stop);
        if (!outcome.failure.empty()) {
            state.SkipWithError(outcome.failure.c_str());
            break;
        }
        counts = outcome.counts;
    }
    state.counters["registered"] = counts.registered;
    state.counters["peak_rss_mb"] = PeakRssMb();
}

BENCHMARK(BM_FirefoxBookmarksImport)
    ->Args({10000, 10000})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
