#include "biff_stream_builder.h"
#include "store/xls/xls_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using tomorine::test::Bytes;

Bytes ReadCorpusFile(const char* name) {
    std::ifstream in(std::filesystem::path(TOMORINE_CORPUS_DIR) / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::u16string Text(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// A data workbook of `entries` entries in its 58 columns: serial, 16 URL
// chunks, 4 title, 4 subtitle, 16 comment, 16 keyword chunks, deleted flag.
// Each entry fills 10 chunk columns with its own texts (URLs in ASCII, the
// rest in Japanese), so the SST holds about 10 strings per entry.
Bytes DataWorkbook(int entries) {
    using namespace tomorine::test;
    std::vector<std::u16string> strings;
    TestSheet sheet{u"トモリネ", {}, 0};
    auto text = [&](int row, int column, std::u16string value) {
        sheet.records.push_back(LabelSstCell(static_cast<std::uint16_t>(row),
                                             static_cast<std::uint16_t>(column),
                                             static_cast<std::uint32_t>(strings.size())));
        strings.push_back(std::move(value));
    };
    for (int c = 0; c < 58; ++c) {
        text(0, c, u"列" + Text(std::to_string(c + 1)));
    }
    for (int e = 1; e <= entries; ++e) {
        const std::u16string n = Text(std::to_string(e));
        sheet.records.push_back(NumberCell(static_cast<std::uint16_t>(e), 0, e));
        text(e, 1,
             u"https://www.example.co.jp/articles/" + n + u"/index.html?ref=bookmark&page=" + n);
        text(e, 2, u"#section-" + n);
        text(e, 17, u"ブックマークの題名その" + n + u"：日本語の記事について");
        text(e, 21, u"副題その" + n + u"（参考）");
        text(e, 25, u"この記事は後で読み返すために登録しました。メモその" + n + u"。");
        text(e, 26, u"続きのメモ：関連する記事もまとめて読むこと。" + n);
        for (int k = 0; k < 4; ++k) {
            text(e, 41 + k, u"キーワード" + n + u"の" + Text(std::to_string(k)));
        }
        sheet.records.push_back(RkCell(static_cast<std::uint16_t>(e), 57, 2));
    }
    return XlsFile(WorkbookStream({SstRecordsSplit(strings)}, {sheet}));
}

void ReadBytes(benchmark::State& state, const Bytes& bytes) {
    if (bytes.empty()) {
        state.SkipWithError("the .xls corpus is not there");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(tomorine::ReadXlsBytes(bytes, "bench.xls"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_ReadTest10x10000(benchmark::State& state) {
    static const Bytes bytes = ReadCorpusFile("edr__Test10x10000.xls");
    ReadBytes(state, bytes);
}

void BM_Read46904(benchmark::State& state) {
    static const Bytes bytes = ReadCorpusFile("poi__46904.xls");
    ReadBytes(state, bytes);
}

void BM_ReadDataWorkbook10000(benchmark::State& state) {
    static const Bytes bytes = DataWorkbook(10000);
    ReadBytes(state, bytes);
}

// The same from disk, as the program opens it.
void BM_ReadDataWorkbook10000File(benchmark::State& state) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "tomorine-bench-data.xls";
    {
        const Bytes bytes = DataWorkbook(10000);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(tomorine::ReadXlsFile(path));
    }
    std::filesystem::remove(path);
}

BENCHMARK(BM_ReadTest10x10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read46904)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDataWorkbook10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDataWorkbook10000File)->Unit(benchmark::kMillisecond);

} // namespace
