// Workbooks written by us and read back by xlrd, value by value.
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace tomorine {
namespace {

using test::TempDir;

// Writes `book` with WriteXlsFile and checks that xlrd reads it without a
// complaint and with every value (of `rows`, 0-based, when given) as written.
nlohmann::json WriteAndCompareWithXlrd(const Workbook& book, const std::filesystem::path& file,
                                       const std::vector<int>& rows = {}) {
    WriteXlsFile(book, file);
    nlohmann::json peer = test::XlrdValues(file, test::XlrdMode::Strict, rows);
    EXPECT_EQ(peer["log"], "") << "xlrd complained";
    EXPECT_EQ(peer["biff_version"], 80);
    EXPECT_EQ(peer["codepage"], 1200);
    EXPECT_TRUE(test::SameAsXlrd(book, peer));
    return peer;
}

std::u16string Repeat(std::u16string_view piece, std::size_t times) {
    std::u16string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// One value a row in column 2, its label in column 1.
Workbook OneColumnBook(const std::vector<std::pair<std::u16string, Cell>>& rows) {
    Workbook book;
    Sheet& sheet = book.addSheet(u"値");
    int r = 1;
    for (const auto& [label, cell] : rows) {
        sheet.setCell(r, 1, Cell::text(label));
        sheet.setCell(r, 2, cell);
        ++r;
    }
    return book;
}

TEST(XlsWriterValues, Texts) {
    TempDir dir;
    WriteAndCompareWithXlrd(
        OneColumnBook({
            {u"japanese", Cell::text(u"トモリネ：ブックマーク記録帳（テスト）")},
            {u"ascii", Cell::text(u"https://example.com/a?b=c&d=e")},
            {u"latin1 one byte a char", Cell::text(u"café ÿ ñ ©")},
            {u"apostrophes", Cell::text(u"It's 'quoted' ''twice''")},
            {u"tab", Cell::text(u"a\tb\t")},
            {u"line feed", Cell::text(u"line1\nline2\n")},
            {u"cr lf", Cell::text(u"line1\r\nline2\r\n")},
            {u"empty", Cell::text(u"")},
            {u"space", Cell::text(u" ")},
            {u"surrogate pairs", Cell::text(u"𠮷野家で🍣を食べた😀")},
            {u"2000 characters", Cell::text(Repeat(u"長い文字列ABC", 250))},
            {u"32767 characters, the cell limit", Cell::text(Repeat(u"x", 32767))},
            {u"half-width kana", Cell::text(u"ｶﾀｶﾅ")},
            {u"nul character", Cell::text(std::u16string(u"a\0b", 3))},
        }),
        dir / "texts.xls");
}

TEST(XlsWriterValues, Numbers) {
    const double limit = 1 << 29; // RK integers are 30-bit
    TempDir dir;
    WriteAndCompareWithXlrd(
        OneColumnBook({
            {u"zero", Cell::number(0)},
            {u"negative zero", Cell::number(-0.0)},
            {u"one", Cell::number(1)},
            {u"minus one", Cell::number(-1)},
            {u"largest RK integer", Cell::number(limit - 1)},
            {u"just above RK", Cell::number(limit)},
            {u"smallest RK integer", Cell::number(-limit)},
            {u"just below RK", Cell::number(-limit - 1)},
            {u"serial", Cell::number(10001)},
            {u"big integer", Cell::number(123456789012345.0)},
            {u"2^53", Cell::number(9007199254740992.0)},
            {u"half", Cell::number(0.5)},
            {u"negative fraction", Cell::number(-2.75)},
            {u"one tenth", Cell::number(0.1)},
            {u"one third", Cell::number(1.0 / 3)},
            {u"1e300", Cell::number(1e300)},
            {u"-1e-300", Cell::number(-1e-300)},
            {u"largest double", Cell::number(std::numeric_limits<double>::max())},
            {u"smallest denormal", Cell::number(std::numeric_limits<double>::denorm_min())},
            {u"integer times 100", Cell::number(12.34)},
        }),
        dir / "numbers.xls");
}

TEST(XlsWriterValues, NonFiniteNumbersBecomeNumError) {
    TempDir dir;
    WriteAndCompareWithXlrd(
        OneColumnBook({
            {u"infinity", Cell::number(std::numeric_limits<double>::infinity())},
            {u"minus infinity", Cell::number(-std::numeric_limits<double>::infinity())},
            {u"nan", Cell::number(std::nan(""))},
        }),
        dir / "nonfinite.xls");
}

TEST(XlsWriterValues, BooleansAndEveryErrorCode) {
    TempDir dir;
    WriteAndCompareWithXlrd(OneColumnBook({
                                {u"true", Cell::boolean(true)},
                                {u"false", Cell::boolean(false)},
                                {u"#NULL!", Cell::error(0x00)},
                                {u"#DIV/0!", Cell::error(0x07)},
                                {u"#VALUE!", Cell::error(0x0F)},
                                {u"#REF!", Cell::error(0x17)},
                                {u"#NAME?", Cell::error(0x1D)},
                                {u"#NUM!", Cell::error(0x24)},
                                {u"#N/A", Cell::error(0x2A)},
                            }),
                            dir / "flags.xls");
}

TEST(XlsWriterValues, SheetsKeepNamesAndOrder) {
    Workbook book;
    book.addSheet(u"データ").setCell(1, 1, Cell::text(u"一枚目"));
    book.addSheet(u"空のシート");
    book.addSheet(u"O'Brien's list").setCell(2, 3, Cell::number(3));
    book.addSheet(u"Sheet1 (2)").setCell(1, 1, Cell::text(u"一枚目")); // shared string
    book.addSheet(Repeat(u"長", 31)).setCell(5, 5, Cell::boolean(true));
    TempDir dir;
    const nlohmann::json peer = WriteAndCompareWithXlrd(book, dir / "sheets.xls");
    EXPECT_EQ(peer["sheets"][1]["nrows"], 0);
}

TEST(XlsWriterValues, OneEmptySheetAndNoStrings) {
    Workbook book;
    book.addSheet(u"Sheet1");
    TempDir dir;
    const nlohmann::json peer = WriteAndCompareWithXlrd(book, dir / "empty.xls");
    EXPECT_EQ(peer["sheets"][0]["nrows"], 0);
}

TEST(XlsWriterValues, ThousandsOfRowsOfMixedCells) {
    Workbook book;
    Sheet& sheet = book.addSheet(u"データ");
    for (int r = 1; r <= 5000; ++r) {
        sheet.setCell(r, 1, Cell::number(r));
        sheet.setCell(r, 2, Cell::text(u"タイトル" + FromUtf8(std::to_string(r % 700))));
        sheet.setCell(r, 4, Cell::text(u"https://example.com/" + FromUtf8(std::to_string(r))));
        sheet.setCell(r, 7, Cell::number(r * 0.25));
        if (r % 3 == 0) {
            sheet.setCell(r, 9, Cell::boolean(r % 2 == 0));
        }
    }
    TempDir dir;
    const nlohmann::json peer = WriteAndCompareWithXlrd(book, dir / "rows.xls");
    EXPECT_EQ(peer["sheets"][0]["nrows"], 5000);
    EXPECT_EQ(peer["sheets"][0]["ncols"], 9);
}

TEST(XlsWriterValues, CellsAtTheFormatsLimits) {
    Workbook book;
    Sheet& sheet = book.addSheet(u"端");
    sheet.setCell(Sheet::MaxRows, Sheet::MaxColumns, Cell::text(u"最後のセル"));
    sheet.setCell(Sheet::MaxRows, 1, Cell::number(65536));
    sheet.setCell(1, Sheet::MaxColumns, Cell::text(u"IV1"));
    TempDir dir;
    const nlohmann::json peer = WriteAndCompareWithXlrd(book, dir / "limits.xls");
    EXPECT_EQ(peer["sheets"][0]["nrows"], 65536);
    EXPECT_EQ(peer["sheets"][0]["ncols"], 256);
}

// Many distinct strings of every length up to a few hundred characters,
// one-byte and two-byte, with surrogate pairs: the shared string table runs
// over many CONTINUE records and splits at every kind of place.
TEST(XlsWriterValues, ManyDistinctStringsAcrossContinueRecords) {
    std::mt19937 random(20240607);
    const std::u16string pieces[] = {u"a", u"Z9", u"é", u"あ", u"漢字", u"😀", u"\t", u" "};
    Workbook book;
    Sheet& sheet = book.addSheet(u"文字列");
    for (int r = 1; r <= 3000; ++r) {
        std::u16string text = FromUtf8(std::to_string(r)) + u":";
        const bool oneByte = r % 2 == 0;
        const int length = static_cast<int>(random() % 300);
        for (int i = 0; i < length; ++i) {
            text += pieces[random() % (oneByte ? 3 : std::size(pieces))];
        }
        sheet.setCell(r, 1 + r % 5, Cell::text(text));
    }
    TempDir dir;
    WriteAndCompareWithXlrd(book, dir / "strings.xls");
}

TEST(XlsWriterValues, ThirtyThousandCharacterStrings) {
    Workbook book;
    Sheet& sheet = book.addSheet(u"長文");
    sheet.setCell(1, 1, Cell::text(Repeat(u"x", 30000)));
    sheet.setCell(2, 1, Cell::text(Repeat(u"長", 30000)));
    sheet.setCell(3, 1, Cell::text(Repeat(u"😀", 15000)));
    sheet.setCell(4, 1, Cell::text(u"後"));
    TempDir dir;
    WriteAndCompareWithXlrd(book, dir / "long.xls");
}

// A string placed so that the first SST record has `left` bytes free when it
// starts: its header lands at the record's end, or its characters (a
// surrogate pair among them) are cut at every offset.
struct SplitCase {
    int left;
    const char* probe;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.probe << " at " << c.left;
}

std::u16string Probe(std::string_view kind) {
    if (kind == "one-byte") {
        return Repeat(u"x", 40);
    }
    if (kind == "two-byte") {
        return Repeat(u"あ", 40);
    }
    if (kind == "pair-first") {
        return u"😀" + Repeat(u"あ", 39);
    }
    if (kind == "pairs") {
        return Repeat(u"😀", 20);
    }
    return u"";
}

class SstSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SstSplit, StringAtTheRecordsEnd) {
    // The SST record holds 8224 bytes: 8 of counts, then a one-byte filler
    // string of 3 header bytes and n characters.
    const int fillerChars = 8224 - 8 - 3 - GetParam().left;
    Workbook book;
    Sheet& sheet = book.addSheet(u"境界");
    sheet.setCell(1, 1, Cell::text(Repeat(u"f", fillerChars)));
    sheet.setCell(2, 1, Cell::text(Probe(GetParam().probe)));
    sheet.setCell(3, 1, Cell::text(u"次の文字列"));
    sheet.setCell(3, 2, Cell::text(u"next"));
    TempDir dir;
    WriteAndCompareWithXlrd(book, dir / "split.xls");
}

std::vector<SplitCase> SplitCases() {
    std::vector<SplitCase> cases;
    for (const char* probe : {"one-byte", "two-byte", "pair-first", "pairs", "empty"}) {
        for (int left = 0; left <= 9; ++left) {
            cases.push_back({left, probe});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryOffset, SstSplit, ::testing::ValuesIn(SplitCases()),
                         [](const ::testing::TestParamInfo<SplitCase>& info) {
                             std::string name = info.param.probe;
                             std::erase(name, '-');
                             return name + "_left" + std::to_string(info.param.left);
                         });

// A full sheet, 65,536 rows by 58 columns of text: tens of MB, so the FAT
// needs DIFAT sectors beyond the 109 ids in the header.
TEST(XlsWriterValues, FullSheetNeedsDifatSectors) {
    std::vector<std::u16string> pool;
    for (int i = 0; i < 1000; ++i) {
        pool.push_back(u"エントリ" + FromUtf8(std::to_string(i)) +
                       (i % 2 ? u"のタイトル" : u"-url"));
    }
    Workbook book;
    Sheet& sheet = book.addSheet(u"データ");
    for (int r = 1; r <= Sheet::MaxRows; ++r) {
        Sheet::Row row;
        for (int c = 0; c < 58; ++c) {
            row.push_back(Cell::text(pool[(r * 58 + c) % pool.size()]));
        }
        sheet.appendRow(std::move(row));
    }
    std::vector<int> rows;
    for (int r = 0; r < Sheet::MaxRows; r += 4093) {
        rows.push_back(r);
    }
    rows.push_back(Sheet::MaxRows - 1);

    TempDir dir;
    const nlohmann::json peer = WriteAndCompareWithXlrd(book, dir / "full.xls", rows);
    EXPECT_EQ(peer["sheets"][0]["nrows"], Sheet::MaxRows);
    EXPECT_EQ(peer["sheets"][0]["ncols"], 58);

    EXPECT_GT(std::filesystem::file_size(dir / "full.xls"), 50'000'000u);
    const nlohmann::json cfb = test::InspectCompoundFile(dir / "full.xls", dir / "stream");
    EXPECT_EQ(cfb["log"], "");
    EXPECT_GT(cfb["header"]["difat_sectors"].get<int>(), 1);
    EXPECT_EQ(cfb["difat_sectors_used"], cfb["header"]["difat_sectors"]);
    EXPECT_EQ(cfb["fat_sectors_used"], cfb["header"]["fat_sectors"]);
    EXPECT_EQ(cfb["unused_sectors"], 0);
    EXPECT_EQ(cfb["misflagged_sectors"], 0);
}

TEST(XlsWriterRefusals, TextLongerThanACellHolds) {
    Workbook book;
    book.addSheet(u"データ").setCell(3, 2, Cell::text(Repeat(u"x", 32768)));
    TempDir dir;
    test::WriteBytes(dir / "old.xls", {1, 2, 3});
    try {
        WriteXlsFile(book, dir / "old.xls");
        FAIL() << "a 32768-character text was written";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::SheetRule);
        EXPECT_NE(std::string(e.description()).find("データ"), std::string::npos)
            << e.description();
        EXPECT_NE(std::string(e.description()).find("(3, 2)"), std::string::npos)
            << e.description();
        EXPECT_NE(std::string(e.description()).find("old.xls"), std::string::npos)
            << e.description();
    }
    EXPECT_EQ(test::ReadBytes(dir / "old.xls"), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(XlsWriterRefusals, WorkbookWithoutSheets) {
    EXPECT_THROW(WriteXlsBytes(Workbook{}), WorkbookError);
    TempDir dir;
    try {
        WriteXlsFile(Workbook{}, dir / "none.xls");
        FAIL() << "a workbook without sheets was written";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.description()).find("none.xls"), std::string::npos)
            << e.description();
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "none.xls"));
}

TEST(AtomicSave, WriteXlsFileReplacesAnOlderWorkbook) {
    TempDir dir;
    Workbook first;
    first.addSheet(u"古い").setCell(1, 1, Cell::text(u"古い値"));
    WriteXlsFile(first, dir / "book.xls");
    Workbook second;
    second.addSheet(u"新しい").setCell(2, 2, Cell::number(42));
    WriteXlsFile(second, dir / "book.xls");
    EXPECT_TRUE(test::SameAsXlrd(second, test::XlrdValues(dir / "book.xls")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

} // namespace
} // namespace tomorine
