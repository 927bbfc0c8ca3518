// Entries registered into a real data file and read back chunk by chunk, with
// the cells on disk as xlrd reads them.
#include "data_file.h"
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gtest/gtest.h>
#include <optional>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::u16string Times(std::size_t n, std::u16string_view piece) {
    std::u16string text;
    for (std::size_t i = 0; i < n; ++i) {
        text += piece;
    }
    return text;
}

// A cell of the entry's row on disk: its column name and its text, or none
// for an empty cell.
struct DiskCell {
    std::string column;
    std::optional<std::u16string> text;
};

struct RoundTrip {
    const char* name;
    Entry written;
    std::vector<DiskCell> onDisk;
    std::optional<Entry> readBack = {}; // when it differs from what was written
};

void PrintTo(const RoundTrip& c, std::ostream* out) {
    *out << c.name;
}

Entry WithUrl(Entry e) {
    if (e.url.empty()) {
        e.url = u"http://example.jp/";
    }
    return e;
}

std::vector<RoundTrip> Cases() {
    const std::u16string spacesEndChunk1 = Times(120, u"c") + u"     " + Times(125, u"d");
    const std::u16string spacesAcrossBorder = Times(122, u"c") + u"      end";
    const std::u16string spaceChunk = Times(125, u"k") + Times(125, u" ") + u"x";
    const std::u16string title125 = Times(125, u"題");
    const std::u16string pairAcrossBorder = Times(124, u"a") + u"𠮷野家";
    return {
        {"TrailingSpacesKeptThroughTabs",
         {0, u"", u"題名  ", u"副 ", u"news  ", u"abc   "},
         {{"タイトル1", u"題名\t\t"},
          {"サブタイトル1", u"副\t"},
          {"キーワード1", u"news\t\t"},
          {"コメント1", u"abc\t\t\t"}}},
        {"SpacesEndingTheFirstChunk",
         {0, u"", u"", u"", u"", spacesEndChunk1},
         {{"コメント1", Times(120, u"c") + u"\t\t\t\t\t"}, {"コメント2", Times(125, u"d")}}},
        {"SpacesCutByAChunkBorder",
         {0, u"", u"", u"", u"", spacesAcrossBorder},
         {{"コメント1", Times(122, u"c") + u"\t\t\t"}, {"コメント2", u"   end"}}},
        {"AChunkOfSpacesOnly",
         {0, u"", u"", u"", spaceChunk, u""},
         {{"キーワード2", Times(125, u"\t")}, {"キーワード3", u"x"}}},
        {"TitleOfExactlyOneChunk",
         {0, u"", title125, u"", u"", u""},
         {{"タイトル1", title125}, {"タイトル2", std::nullopt}, {"タイトル4", std::nullopt}}},
        {"UrlOf126Units",
         {0, Times(125, u"u") + u"z", u"", u"", u"", u""},
         {{"URL2", u"z"}, {"URL3", std::nullopt}}},
        {"TextsCutAtTheirCapacity",
         {0, Times(2001, u"u"), Times(600, u"t"), Times(501, u"s"), Times(2100, u"k"),
          Times(2000, u"c")},
         {{"URL16", Times(125, u"u")}, {"タイトル4", Times(125, u"t")}},
         Entry{0, Times(2000, u"u"), Times(500, u"t"), Times(500, u"s"), Times(2000, u"k"),
               Times(2000, u"c")}},
        {"KeywordsReallyEndingInATab",
         {0, u"", u"", u"", u"a\tb\t", u""},
         {{"キーワード1", u"a\tb\t"}},
         Entry{0, u"", u"", u"", u"a\tb ", u""}},
        {"Apostrophes",
         {0, u"http://a.jp/it's", u"O'Reilly ''二重''", u"", u"'", u"end'"},
         {{"URL1", u"http://a.jp/it's"}, {"タイトル1", u"O'Reilly ''二重''"}}},
        {"LineBreaks",
         {0, u"", u"a\nb", u"", u"", u"一行目\r\n二行目\n三行目\r\n"},
         {{"コメント1", u"一行目\r\n二行目\n三行目\r\n"}}},
        {"JapaneseWithIdeographicSpaces",
         {0, u"https://例え.jp/パス?検索=語", u"日本語のタイトル　", u"ｶﾀｶﾅ", u"ニュース　スポーツ",
          u"説明文です。"},
         {{"タイトル1", u"日本語のタイトル　"}}},
        {"UrlEndingInSpacesKeepsThem",
         {0, u"http://a.jp/  ", u"", u"", u"", u""},
         {{"URL1", u"http://a.jp/  "}}},
        {"EmptyTextsLeaveEmptyCells",
         {0, u"http://a.jp/", u"", u"", u"", u""},
         {{"タイトル1", std::nullopt},
          {"キーワード1", std::nullopt},
          {"コメント16", std::nullopt}}},
        // Chunks count UTF-16 units: the pair's halves go to two cells, which
        // xlrd cannot decode, so only the round trip is checked.
        {"SurrogatePairCutByAChunkBorder", {0, u"", pairAcrossBorder, u"", u"", u""}, {}},
    };
}

// The entry's row (row 3) as xlrd reads it: [type, value] by column name.
std::map<std::string, json> EntryRowOnDisk(const fs::path& file) {
    const json xlrd = XlrdValues(file, XlrdMode::Strict, {0, 2});
    std::map<int, std::string> names;
    std::map<std::string, json> row;
    for (const json& cell : xlrd["sheets"][0]["cells"]) {
        if (cell[0] == 0) {
            names[cell[1].get<int>()] = cell[3];
        } else {
            row[names[cell[1].get<int>()]] = {cell[2], cell[3]};
        }
    }
    return row;
}

class TextRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(TextRoundTrip, ReadsBackAsWrittenByTheRules) {
    TempDir dir;
    const fs::path path = dir / "data.xls";
    CreateDataWorkbook(path);
    ASSERT_EQ(Register(path, WithUrl(GetParam().written)), 1);
    EXPECT_EQ(QueryMaxSerial(path), 1);

    Entry expected = WithUrl(GetParam().readBack.value_or(GetParam().written));
    expected.serial = 1;
    const std::vector<Entry> entries = LiveEntries(path);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(Shown(entries[0]), Shown(expected));

    if (GetParam().onDisk.empty()) {
        return;
    }
    const std::map<std::string, json> row = EntryRowOnDisk(path);
    const auto onDisk = [&](const std::string& column) {
        return row.contains(column) ? row.at(column) : json("no cell");
    };
    for (const DiskCell& cell : GetParam().onDisk) {
        EXPECT_EQ(onDisk(cell.column),
                  (cell.text ? json{"text", ToUtf8(*cell.text)} : json("no cell")))
            << cell.column;
    }
    EXPECT_EQ(onDisk("シリアル番号"), json({"number", 1.0}));
    EXPECT_EQ(onDisk("削除"), json({"number", 0.0}));
}

INSTANTIATE_TEST_SUITE_P(Table, TextRoundTrip, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tomorine::test
