// Converting a data workbook of the older layout (0104) with 10,000 entries:
// the whole version check as the main window runs it, prompts answered OK,
// progress ignored. Peak RSS is reported as a counter.
#include "entry_generator.h"
#include "store/entry.h"
#include "store/xls/xls_file.h"
#include "upgrade/data_version.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <sys/resource.h>

namespace tomorine::bench {
namespace {

namespace fs = std::filesystem;

double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The older layout keeps URL, comment and keywords in four cells each.
void AppendInFourCells(Sheet::Row& row, const std::u16string& text) {
    const size_t quarter = (text.size() + 3) / 4;
    for (size_t i = 0; i < 4; ++i) {
        const size_t start = std::min(text.size(), i * quarter);
        std::u16string piece = text.substr(start, quarter);
        row.push_back(piece.empty() ? Cell() : Cell::text(std::move(piece)));
    }
}

Cell TextCell(const std::u16string& text) {
    return text.empty() ? Cell() : Cell::text(text);
}

Sheet::Row OldRow(const Entry& entry) {
    Sheet::Row row{Cell::number(entry.serial)};
    AppendInFourCells(row, entry.url);
    row.push_back(TextCell(entry.title));
    row.push_back(TextCell(entry.subtitle));
    AppendInFourCells(row, entry.comment);
    AppendInFourCells(row, entry.keywords);
    row.push_back(Cell::number(0));
    return row;
}

Workbook OldWorkbook(int entries) {
    Workbook book;
    Sheet& sheet = book.addSheet(std::u16string(EntrySheetName));
    Sheet::Row header;
    for (const char16_t* name :
         {u"シリアル番号", u"URL1", u"URL2", u"URL3", u"URL4", u"タイトル", u"サブタイトル",
          u"コメント1", u"コメント2", u"コメント3", u"コメント4", u"キーワード1", u"キーワード2",
          u"キーワード3", u"キーワード4", u"削除"}) {
        header.push_back(Cell::text(name));
    }
    sheet.replaceRow(1, std::move(header));
    Entry dummy{0, u"dummy", u"ダミー", u"ダミー", u"ダミー", u"ダミー"};
    Sheet::Row dummyRow = OldRow(dummy);
    dummyRow.back() = Cell::number(1);
    sheet.replaceRow(2, std::move(dummyRow));
    int row = 3;
    for (const Entry& entry : GenerateEntries(entries)) {
        sheet.replaceRow(row++, OldRow(entry));
    }
    return book;
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
        store.DataFilePath = dir / "work" / "bm.xls";
        UpgradeContext context{store, flags, ui};
        state.ResumeTiming();

        if (CheckDataVersion(context) != 0) {
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
