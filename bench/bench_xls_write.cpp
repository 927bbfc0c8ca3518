// Writing a data workbook of the reference size: 10,000 entries over 58
// columns, about a dozen non-empty cells an entry, texts of a few dozen to a
// few hundred Japanese characters.
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

using namespace tomorine;

constexpr int kColumns = 58;

std::u16string JapaneseText(std::mt19937& random, int length) {
    static const std::u16string pieces[] = {u"ブックマーク", u"の",   u"記録",  u"ページ",
                                            u"日本語",       u"検索", u"、",    u"サイト",
                                            u"情報",         u"。",   u"テスト"};
    std::u16string text;
    while (static_cast<int>(text.size()) < length) {
        text += pieces[random() % std::size(pieces)];
    }
    text.resize(static_cast<std::size_t>(length));
    return text;
}

Workbook DataWorkbook(int entries) {
    std::mt19937 random(42);
    Workbook book;
    Sheet& sheet = book.addSheet(u"データ");
    Sheet::Row header;
    for (int c = 1; c <= kColumns; ++c) {
        header.push_back(Cell::text(u"項目" + FromUtf8(std::to_string(c))));
    }
    sheet.appendRow(std::move(header));
    for (int e = 1; e <= entries; ++e) {
        Sheet::Row row(kColumns);
        row[0] = Cell::number(e);
        row[1] = Cell::number(0);
        row[2] = Cell::text(u"https://example.com/entries/" + FromUtf8(std::to_string(e)) +
                            u"/index.html?ref=bookmark");
        row[3] = Cell::text(JapaneseText(random, 20 + static_cast<int>(random() % 106)));
        row[8] = Cell::text(JapaneseText(random, 10 + static_cast<int>(random() % 60)));
        row[13] = Cell::text(JapaneseText(random, 10 + static_cast<int>(random() % 40)));
        for (int chunk = 0; chunk < 4; ++chunk) {
            row[23 + chunk] = Cell::text(JapaneseText(random, 125));
        }
        row[27] = Cell::text(JapaneseText(random, 30 + static_cast<int>(random() % 96)));
        row[43] = Cell::text(u"2024/06/07 12:34:56");
        row[44] = Cell::number(e % 7);
        sheet.appendRow(std::move(row));
    }
    return book;
}

void BM_WriteXlsBytes(benchmark::State& state) {
    const Workbook book = DataWorkbook(static_cast<int>(state.range(0)));
    std::size_t size = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = WriteXlsBytes(book);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
}
BENCHMARK(BM_WriteXlsBytes)->Arg(10000)->Arg(65534)->Unit(benchmark::kMillisecond);

// The whole save, with the flush to disk and the rename.
void BM_WriteXlsFile(benchmark::State& state) {
    const Workbook book = DataWorkbook(static_cast<int>(state.range(0)));
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("bench_xls_write_" + std::to_string(::getpid()) + ".xls");
    for (auto _ : state) {
        WriteXlsFile(book, path);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_WriteXlsFile)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
