// Converting a data workbook of the older layout (0104) with 10,000 entries:
// the whole version check as the main window runs it, prompts answered OK,
// progress ignored. Peak RSS is reported as a counter.
#include "entry_generator.h"
#include "store/entry.h"
#include "store/xls/xls_file.h"
#include "upgrade/data_version.h"
#include "upgrade_fixture.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <filesystem>

namespace tomorine::bench {
namespace {

namespace fs = std::filesystem;

// The older layout keeps URL, comment and keywords in four cells each.
void AppendQuarters(std::vector<std::u16string>& texts, const std::u16string& text) {
    const size_t quarter = (text.size() + 3) / 4;
    for (size_t i = 0; i < 4; ++i) {
        texts.push_back(text.substr(std::min(text.size(), i * quarter), quarter));
    }
}

Workbook OldWorkbook(int entries) {
    std::vector<Sheet::Row> rows;
    for (const Entry& e : GenerateEntries(entries)) {
        std::vector<std::u16string> texts;
        AppendQuarters(texts, e.url);
        texts.push_back(e.title);
        texts.push_back(e.subtitle);
        AppendQuarters(texts, e.comment);
        AppendQuarters(texts, e.keywords);
        rows.push_back(test::OldRow(Cell::number(e.serial), texts, Cell::number(0)));
    }
    return test::OldDataWorkbook(rows);
}

void BM_ConvertOldWorkbook(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    const fs::path dir = fs::temp_directory_path() / "tomorine-bench-upgrade";
    fs::create_directories(dir);
    const fs::path source = dir / "source.xls";
    WriteXlsFile(OldWorkbook(entries), source);

    StoreState store;
    UpgradeState flags;
    UpgradeUi ui;
    ui.messageBox = [](const std::u16string&, int) { return AnswerOk; };
    ui.processEvents = [] {};
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(dir / "work");
        fs::create_directory(dir / "work");
        fs::copy_file(source, dir / "work" / "bm.xls");
        store.dataFilePath = dir / "work" / "bm.xls";
        UpgradeContext context{store, flags, ui};
        state.ResumeTiming();

        if (CheckDataVersion(context) != DataFileCheck::Usable) {
            state.SkipWithError("the conversion failed");
            break;
        }
    }
    state.counters["file_MB"] = static_cast<double>(fs::file_size(source)) / 1e6;
    state.counters["peak_rss_MB"] = PeakRssMb();
    fs::remove_all(dir);
}

BENCHMARK(BM_ConvertOldWorkbook)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace tomorine::bench

BENCHMARK_MAIN();
