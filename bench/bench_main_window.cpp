// The main window's commands on a data workbook of 10,000 (and 60,000)
// entries, end to end from the click: search with empty fields (every entry
// listed), a one-word title search, a registration with its re-run search,
// and the window's start-up.
#include "entry_generator.h"
#include "main_window_harness.h"
#include "store/xls/xls_file.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <memory>

namespace tomorine::bench {
namespace {

// One window per benchmark on its own copy of the data file.
struct Window {
    test::MainWindowHarness harness;

    // TOMORINE_BENCH_FILE names a data file to copy instead, so that the peak
    // memory counter sees the window alone, not the making of the file.
    explicit Window(int entries) {
        if (const char* given = std::getenv("TOMORINE_BENCH_FILE")) {
            std::filesystem::copy_file(given, harness.defaultDataFile());
        } else {
            WriteXlsFile(DataWorkbookWith(GenerateEntries(entries)), harness.defaultDataFile());
        }
        harness.load();
    }
    MainWindow& window() { return harness.window(); }
};

void BM_SearchAllEntries(benchmark::State& state) {
    Window w(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        w.window().searchButton->click();
        // As the window's own event loop does between two clicks.
        state.PauseTiming();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["listed"] = w.window().resultList->count();
    state.counters["peak_rss_MB"] = PeakRssMb();
    state.counters["heap_in_use_MB"] = mallinfo2().uordblks / 1e6;
}

void BM_SearchOneTitleWord(benchmark::State& state) {
    Window w(static_cast<int>(state.range(0)));
    w.window().titleField->setText(QStringLiteral("情報"));
    for (auto _ : state) {
        w.window().searchButton->click();
        w.harness.takeMessages();
    }
    state.counters["listed"] = w.window().resultList->count();
}

void BM_RegisterEntry(benchmark::State& state) {
    Window w(static_cast<int>(state.range(0)));
    Entry entry = GenerateEntries(1, 99).front();
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.window().clearButton->click();
        w.harness.setFields(QString::fromStdU16String(entry.url) + QString::number(++n),
                            QString::fromStdU16String(entry.title), {},
                            QString::fromStdU16String(entry.keywords),
                            QString::fromStdU16String(entry.comment));
        state.ResumeTiming();
        w.window().registerButton->click();
        state.PauseTiming();
        w.harness.takeMessages();
        state.ResumeTiming();
    }
}

// Start-up on an existing data file: settings, version check, the fields.
void BM_LoadWindow(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    test::MainWindowHarness harness;
    WriteXlsFile(DataWorkbookWith(GenerateEntries(entries)), harness.defaultDataFile());
    for (auto _ : state) {
        state.PauseTiming();
        auto h = std::make_unique<test::MainWindowHarness>();
        std::filesystem::copy_file(harness.defaultDataFile(), h->defaultDataFile());
        state.ResumeTiming();
        h->load();
        state.PauseTiming();
        h.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_SearchAllEntries)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchOneTitleWord)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegisterEntry)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWindow)->Arg(10000)->Arg(60000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tomorine::bench
