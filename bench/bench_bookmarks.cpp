// The whole import of a Firefox profile: 10,000 bookmarks in 100 folders, a
// tenth of them tagged, read from a copy of places.sqlite and imported into
// a data file of 10,000 entries (all new: the inserts and the saves). And the
// Netscape reader on two hostile files: a 2 MB title of '&' and 20,000 nested
// folders with a bookmark in each, folder paths included. And the import of a
// Netscape file of 60,000 bookmarks, as the command line runs it.
#include "bookmarks/bookmarks_import.h"
#include "bookmarks/firefox_bookmarks.h"
#include "bookmarks/netscape_reader.h"
#include "browser_files.h"
#include "entry_generator.h"
#include "scratch_data_file.h"
#include "store/workbook/utf.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

namespace tomorine::bench {
namespace {

// The data file and, beside it, a places.sqlite of `bookmarks` bookmarks.
struct Fixture {
    ScratchDataFile file;

    Fixture(int entries, int bookmarks) : file(GenerateEntries(entries)) {
        test::PlacesFile places(file.dir() / "places.sqlite");
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
};

// Each run imports what `read` gives into the data file as it was first
// written, as the command does.
template <typename Read>
void RunImports(benchmark::State& state, const ScratchDataFile& file, Read read) {
    BookmarksImportCounts counts;
    for (auto _ : state) {
        state.PauseTiming();
        StoreState store = file.restored();
        state.ResumeTiming();
        const bool stop = false;
        BookmarksImportOutcome outcome = RunBookmarksImport(store, read(), {}, stop);
        if (outcome.failure) {
            state.SkipWithError(outcome.failure->what());
            break;
        }
        counts = outcome.counts;
    }
    state.counters["registered"] = counts.registered;
    state.counters["peak_rss_mb"] = PeakRssMb();
}

void BM_FirefoxBookmarksImport(benchmark::State& state) {
    Fixture fixture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    RunImports(state, fixture.file,
               [&] { return ReadFirefoxBookmarks(fixture.file.dir() / "places.sqlite"); });
}

BENCHMARK(BM_FirefoxBookmarksImport)
    ->Args({10000, 10000})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The command line's import of a Netscape file of 60,000 bookmarks (Japanese
// titles, tags, a description on many, 60 folders) into a new data file, the
// bookmarks handed over as the command hands them; the peak RSS counts from
// the read of the file to the last save.
void BM_NetscapeImport(benchmark::State& state) {
    const ScratchDataFile file({});
    const std::filesystem::path html = file.dir() / "bookmarks.html";
    {
        std::ofstream out(html, std::ios::binary);
        out << "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
               "CONTENT=\"text/html; charset=UTF-8\">\n<DL><p>\n";
        const std::vector<Entry> entries = GenerateEntries(static_cast<int>(state.range(0)));
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& entry = entries[i];
            if (i % 1000 == 0) {
                out << (i == 0 ? "" : "</DL><p>\n") << "<DT><H3>フォルダ" << i / 1000
                    << "</H3>\n<DL><p>\n";
            }
            std::string tags = ToUtf8(entry.keywords);
            std::replace(tags.begin(), tags.end(), ' ', ',');
            out << "<DT><A HREF=\"" << ToUtf8(entry.url) << "\" TAGS=\"" << tags << "\">"
                << ToUtf8(entry.title) << "</A>\n";
            if (!entry.comment.empty()) {
                out << "<DD>" << ToUtf8(entry.comment) << "\n";
            }
        }
        out << "</DL><p>\n</DL><p>\n";
    }
    ResetPeakRss();
    RunImports(state, file, [&] { return ReadNetscapeBookmarks(html); });
}

BENCHMARK(BM_NetscapeImport)
    ->Arg(60000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_NetscapeHostile(benchmark::State& state) {
    std::string html = "<DL><DT><A HREF=\"http://a/\">" + std::string(2 << 20, '&');
    if (state.range(0) == 1) {
        html = "<DL>";
        for (int i = 0; i < 20000; ++i) {
            html += "<DT><H3>folder</H3><DL><DT><A HREF=\"http://a/\">a</A>";
        }
    }
    size_t pathBytes = 0;
    for (auto _ : state) {
        for (const BrowserBookmark& b : ParseNetscapeBookmarks(html, "b.html").bookmarks) {
            pathBytes += b.folder.path().size();
        }
    }
    benchmark::DoNotOptimize(pathBytes);
    state.SetLabel(state.range(0) == 1 ? "20,000 folders" : "2 MB of &");
    state.counters["peak_rss_mb"] = PeakRssMb();
}

BENCHMARK(BM_NetscapeHostile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
