// Writing, against xlrd value by value and sector by sector, and against xlwt (whose files Excel
// opens): we read its files as xlrd does, and write its records wherever Excel may care.
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/biff_records.h"
#include "store/xls/compound_file_writer.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace tomorine {
namespace {

using namespace test;
using Bytes = std::vector<std::uint8_t>;
using nlohmann::json;

// Texts, numbers (RK's edges among them), booleans, every error code, sheets, the last cell.
void Values(Workbook& book) {
    Sheet& sheet = book.addSheet(u"値");
    sheet.replaceRow(1, {Cell::text(u"トモリネ：ブックマーク記録帳（テスト）"),
                         Cell::text(u"café ÿ ©"), Cell::text(u"It's 'quoted' ''twice''"),
                         Cell::text(u"a\tb\t"), Cell::text(u"line1\nline2\r\nline3\r\n"),
                         Cell::text(u""), Cell::text(u" "), Cell::text(u"𠮷野家で🍣を食べた😀"),
                         Cell::text(u"ｶﾀｶﾅ"), Cell::text(std::u16string(u"a\0b", 3)),
                         Cell::text(std::u16string(2000, u'字') + u"ABC"),
                         Cell::text(std::u16string(32767, u'x')),
                         Cell::text(std::u16string(30000, u'長'))});
    using limits = std::numeric_limits<double>;
    const double rk = 1 << 29; // RK integers are 30-bit
    const double inf = limits::infinity(), max = limits::max(), tiny = limits::denorm_min();
    int c = 1;
    for (double number :
         {0.0, -0.0,  1.0,         -1.0,    rk - 1, rk,    -rk,     -rk - 1, 9007199254740992.0,
          0.5, -2.75, 0.1,         1.0 / 3, 12.34,  1e300, -1e-300, max,     tiny,
          inf, -inf,  std::nan("")}) {
        sheet.setCell(2, c++, Cell::number(number));
    }
    sheet.replaceRow(3, {Cell::boolean(true), Cell::boolean(false), Cell::error(0x00),
                         Cell::error(0x07), Cell::error(0x0F), Cell::error(0x17), Cell::error(0x1D),
                         Cell::error(0x24), Cell::error(0x2A)});
    book.addSheet(u"空のシート");
    book.addSheet(u"O'Brien's list").setCell(2, 3, Cell::text(u" ")); // a shared string
    book.addSheet(std::u16string(31, u'長'))
        .setCell(Sheet::MaxRows, Sheet::MaxColumns, Cell::text(u"最後のセル"));
}

// Thousands of distinct strings, narrow and wide: an SST split at every kind of place.
void ManyStrings(Workbook& book) {
    std::mt19937 random(20240607);
    const std::u16string pieces[] = {u"a", u"Z9", u"é", u"あ", u"漢字", u"😀", u"\t", u" "};
    Sheet& sheet = book.addSheet(u"行");
    for (int r = 1; r <= 5000; ++r) {
        std::u16string text = FromUtf8(std::to_string(r)) + u":";
        for (int i = static_cast<int>(random() % 300); i > 0; --i) {
            text += pieces[random() % (r % 2 ? std::size(pieces) : 3)];
        }
        sheet.replaceRow(r, {Cell::number(r), Cell::text(text), Cell(), Cell::number(r * 0.25)});
    }
}

// 65,536 rows of 10 texts: about 10 MB, so that the FAT needs a DIFAT sector.
void FullSheet(Workbook& book) {
    Sheet& sheet = book.addSheet(u"データ");
    for (int r = 1; r <= Sheet::MaxRows; ++r) {
        sheet.appendRow(
            Sheet::Row(10, Cell::text(u"エントリ" + FromUtf8(std::to_string(r % 999)))));
    }
}

TEST(XlsWriterTest, XlrdReadsWhatWasWritten) {
    const std::pair<void (*)(Workbook&), std::vector<int>> cases[] = {
        {Values, {}}, {ManyStrings, {}}, {FullSheet, {0, 1, 32768, 65535}}};
    for (const auto& [fill, rows] : cases) {
        Workbook book;
        fill(book);
        SCOPED_TRACE(ToUtf8(book.sheet(1).name()));
        TempDir dir;
        WriteXlsFile(book, dir / "w.xls");
        const json xlrd = XlrdValues(dir / "w.xls", XlrdMode::Strict, rows);
        EXPECT_EQ(xlrd["log"], "") << "xlrd complained";
        EXPECT_EQ(xlrd["biff_version"], 80);
        EXPECT_EQ(xlrd["codepage"], 1200);
        EXPECT_TRUE(SameAsXlrd(book, xlrd));
        EXPECT_TRUE(SameAsXlrd(ReadXlsFile(dir / "w.xls"), xlrd));
        EXPECT_EQ(InspectCompoundFile(dir / "w.xls", dir / "stream"), json::array());
        EXPECT_EQ(xls::Le32(&ReadBytes(dir / "w.xls").at(72)) > 0, fill == FullSheet); // DIFAT
    }
}

// A FAT sector maps 128 sectors (its own and the DIFAT's); the header lists 109, a DIFAT 127.
TEST(CompoundFileTest, XlrdReadsTheStreamBackWithEverySectorAccountedFor) {
    constexpr std::size_t kSector = 512;
    const std::size_t sizes[][3] = {
        // stream bytes, FAT sectors, DIFAT sectors
        {0, 1, 0},                     // padded to 4096 bytes, no mini stream
        {126 * kSector, 1, 0},         // one FAT sector full
        {126 * kSector + 1, 2, 0},     // a second FAT sector
        {13842 * kSector, 109, 0},     // the header's list full
        {13842 * kSector + 1, 110, 1}, // the first DIFAT sector
        {29970 * kSector + 1, 237, 2}, // the second DIFAT sector
    };
    for (const auto [streamBytes, fatSectors, difatSectors] : sizes) {
        SCOPED_TRACE(streamBytes);
        Bytes file(cfb::HeaderSize + streamBytes);
        for (std::size_t i = cfb::HeaderSize; i < file.size(); ++i) {
            file[i] = static_cast<std::uint8_t>(i * 31 % 251);
        }
        Bytes stream(file.begin() + cfb::HeaderSize, file.end());
        stream.resize(std::max<std::size_t>(stream.size(), 4096), 0);
        cfb::FinishCompoundFile(file);
        TempDir dir;
        WriteBytes(dir / "file.cfb", file);
        EXPECT_EQ(InspectCompoundFile(dir / "file.cfb", dir / "stream"), json::array());
        EXPECT_TRUE(ReadBytes(dir / "stream") == stream) << "stream differs";
        EXPECT_EQ(xls::Le32(&file[44]), fatSectors);
        EXPECT_EQ(xls::Le32(&file[72]), difatSectors);
        EXPECT_EQ(xls::Le32(&file[68]) == 0xFFFFFFFEu, difatSectors == 0); // the first DIFAT
    }
}

TEST(XlsWriterTest, RefusesATextTooLongAndLeavesTheFileAsItWas) {
    Workbook book;
    book.addSheet(u"データ").setCell(3, 2, Cell::text(std::u16string(32768, u'x')));
    TempDir dir;
    WriteBytes(dir / "old.xls", {1, 2, 3});
    try {
        WriteXlsFile(book, dir / "old.xls");
        ADD_FAILURE() << "written";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::SheetRule);
        EXPECT_THAT(e.description(),
                    ::testing::HasSubstr("「" + (dir / "old.xls").string() + "」"));
        EXPECT_THAT(e.description(), ::testing::HasSubstr("「データ」のセル (3, 2)"));
    }
    EXPECT_EQ(ReadBytes(dir / "old.xls"), (Bytes{1, 2, 3}));
}

// Writes `book` with xlwt, which writes an empty text as a blank cell.
void WriteWithXlwt(const Workbook& book, const std::filesystem::path& file) {
    std::ofstream(file.string() + ".json") << ValuesOf(book).dump();
    ASSERT_EQ(std::system(("/usr/bin/python3 " TOMORINE_XLWT_WRITER " " + file.string()).c_str()),
              0);
}

// Faults, header and records, with what differs from xlwt for a stated reason set aside.
json Listing(const std::filesystem::path& file) {
    const Bytes header = ReadBytes(file);
    json records = {InspectCompoundFile(file, file.string() + ".s"),
                    Bytes(&header[24], &header[76])};
    const Bytes s = ReadBytes(file.string() + ".s");
    for (std::size_t at = 0, end = 0; at + 4 <= s.size() && xls::Le16(&s[at]) != 0; at = end) {
        const std::uint16_t id = xls::Le16(&s[at]);
        end = std::min(s.size(), at + 4 + xls::Le16(&s[at + 2]));
        Bytes body(s.data() + at + 4, s.data() + end);
        if (id == biff::BoundSheet || id == biff::WriteAccess) {
            // offsets and names, which xlrd follows; a user name: "None" from xlwt, ours a string
            body.assign(body.size() * (id == biff::WriteAccess), ' ');
        }
        if (id == biff::Row) { // its first used column: xlwt writes 0, we and Excel the true one
            body.at(2) = body.at(3) = 0;
        }
        if (id != biff::ExtSst) { // Excel writes it after SST; xlwt leaves it out
            records.push_back({id, body});
        }
    }
    return records;
}

// Numbers placed where xlwt writes them as we do: it packs RK runs into MULRK and fractions such
// as 1.25 into RK, where we write NUMBER. Both are plain BIFF8.
TEST(XlwtTest, WritesOurRecordsAndHeaderAndWeReadItsFileAsXlrdDoes) {
    Workbook book;
    Sheet& data = book.addSheet(u"データ");
    data.replaceRow(1, {Cell::text(u"シリアル番号"), Cell::text(u"URL"), Cell(), Cell::number(0)});
    data.replaceRow(2, {Cell::number(1), Cell::text(u"https://example.com/"), Cell(),
                        Cell::number(3.14159), Cell(), Cell::boolean(true)});
    data.replaceRow(4, {Cell(), Cell::error(42), Cell(), Cell::number(-7), Cell::boolean(false)});
    data.setCell(5, 2, Cell::number(1e300));
    book.addSheet(u"Sheet2");
    book.addSheet(u"メモ").setCell(3, 4, Cell::text(u"URL"));
    book.sheet(3).replaceRow(4, {Cell::text(std::u16string(9000, u'長') + u"と\tタブ"),
                                 Cell::text(std::u16string(32767, u'x'))});
    TempDir dir;
    WriteXlsFile(book, dir / "ours.xls");
    WriteWithXlwt(book, dir / "xlwt.xls");
    EXPECT_EQ(Listing(dir / "ours.xls"), Listing(dir / "xlwt.xls"));
    EXPECT_TRUE(SameAsXlrd(ReadXlsFile(dir / "xlwt.xls"), XlrdValues(dir / "xlwt.xls")));
}

} // namespace
} // namespace tomorine
