// The HTML export of the last search, with comments, on data workbooks of
// generated entries: the whole command (reading the workbook, running the
// search statement, writing the page) and the page writing alone, with the
// heap it needs beyond the result rows, which must not grow with the number
// of entries.
#include "entry_generator.h"
#include "htmlexport/html_list_writer.h"
#include "htmlexport/html_page_writer.h"
#include "search/search_rows.h"
#include "store/data_connection.h"
#include "store/table/connection.h"
#include "store/xls/xls_file.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <map>
#include <new>

namespace {

// Live heap bytes and their peak, so that the page writer's own memory can
// be told apart from the rows it reads.
std::atomic<long long> gLive{0};
std::atomic<long long> gPeak{0};

void Track(long long bytes) {
    const long long live = gLive.fetch_add(bytes) + bytes;
    long long peak = gPeak.load();
    while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
    }
}

} // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size + 16);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    *static_cast<std::size_t*>(p) = size;
    Track(static_cast<long long>(size));
    return static_cast<char*>(p) + 16;
}

void operator delete(void* p) noexcept {
    if (p != nullptr) {
        char* block = static_cast<char*>(p) - 16;
        Track(-static_cast<long long>(*reinterpret_cast<std::size_t*>(block)));
        std::free(block);
    }
}

void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace tomorine::bench {
namespace {

namespace fs = std::filesystem;

fs::path BenchFolder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "tomorine-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(BenchFolder(), ec);
        });
        return fs::path(pattern);
    }();
    return folder;
}

const fs::path& DataFile(int entries) {
    static std::map<int, fs::path> files;
    auto it = files.find(entries);
    if (it == files.end()) {
        fs::path path = BenchFolder() / ("data" + std::to_string(entries) + ".xls");
        WriteXlsFile(DataWorkbookWith(GenerateEntries(entries)), path);
        it = files.emplace(entries, path).first;
    }
    return it->second;
}

void BM_HtmlExportList(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    const fs::path dataFile = DataFile(entries);
    HtmlListRequest request;
    request.searchUrl = u"";
    request.commentOutput = true;
    request.outputPath = BenchFolder() / "list.htm";
    int written = 0;
    for (auto _ : state) {
        written = WriteHtmlList(dataFile, request).entriesWritten;
    }
    state.counters["entries"] = written;
    state.counters["page_mb"] = static_cast<double>(fs::file_size(request.outputPath)) / 1e6;
    state.counters["peak_rss_mb"] = PeakRssMb();
}

void BM_HtmlExportPage(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    Recordset rows = SearchRows(DataFile(entries), u"");
    const fs::path page = BenchFolder() / "page.htm";
    long long extra = 0;
    for (auto _ : state) {
        gPeak = gLive.load();
        const long long before = gLive.load();
        benchmark::DoNotOptimize(WriteHtmlPage(rows, {}, true, page));
        extra = std::max(extra, gPeak.load() - before);
    }
    state.counters["heap_beyond_rows_kb"] = static_cast<double>(extra) / 1024.0;
    state.counters["page_mb"] = static_cast<double>(fs::file_size(page)) / 1e6;
}

BENCHMARK(BM_HtmlExportList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HtmlExportPage)->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
