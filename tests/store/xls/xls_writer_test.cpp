// Writing, against xlrd value by value and sector by sector; what we write we read back also
// with its sectors scattered and its sheets out of offset order.
#include "biff_stream_builder.h"
#include "store/entry.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/compound_file_writer.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <algorithm>
#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace tomorine {
namespace {

using namespace test;
using nlohmann::json;
using xls::Le16;
using xls::Le32;

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
    int chunk = 1; // a field cut into cells beside a pair: xlrd refuses a lone half
    for (const std::u16string& text : SplitChunks(std::u16string(124, u'あ') + u"𠮷野家", 4)) {
        sheet.setCell(4, chunk++, Cell::text(text));
    }
    book.addSheet(u"空のシート");
    book.addSheet(u"O'Brien's list").setCell(2, 3, Cell::text(u" ")); // a shared string
    book.addSheet(std::u16string(31, u'長'))
        .setCell(Sheet::MaxRows, Sheet::MaxColumns, Cell::text(u"最後のセル"));
}

// Thousands of distinct strings, narrow and wide, in two sheets: an SST split everywhere.
void ManyStrings(Workbook& book) {
    std::mt19937 random(20240607);
    const std::u16string pieces[] = {u"a", u"Z9", u"é", u"あ", u"漢字", u"😀", u"\t", u" "};
    for (const char16_t* name : {u"行", u"列"}) {
        Sheet& sheet = book.addSheet(name);
        for (int r = 1; r <= 5000; ++r) {
            std::u16string text = FromUtf8(std::to_string(r)) + u":";
            for (int i = static_cast<int>(random() % 300); i > 0; --i) {
                text += pieces[random() % (r % 2 ? std::size(pieces) : 3)];
            }
            sheet.replaceRow(r,
                             {Cell::number(r), Cell::text(text), Cell(), Cell::number(r * 0.25)});
        }
    }
}

// Each sheet's BOUNDSHEET names the other's offset: they are read from the later one back.
Bytes SheetsSwapped(Bytes file) {
    std::vector<std::size_t> at; // of each BOUNDSHEET's offset field; our stream is in sector 0
    for (std::size_t p = 512; Le16(&file[p]) != 0x000A; p += 4 + Le16(&file[p + 2])) {
        if (Le16(&file[p]) == 0x0085) {
            at.push_back(p + 4);
        }
    }
    std::swap_ranges(&file[at.at(0)], &file[at.at(0) + 4], &file[at.at(1)]);
    return file;
}

// The stream's sectors placed from its two ends in turn, so that its chain jumps backwards and
// forwards; the FAT and the directory entry follow.
Bytes Scattered(Bytes file) {
    const auto at = [](std::size_t s) { return (s + 1) * 512; };
    const std::size_t start = at(Le32(&file[48])) + 128 + 116; // of the stream after the root
    const auto fat = [&](std::size_t s) {                      // where a sector's FAT entry is
        return at(Le32(&file[76 + s / 128 * 4])) + s % 128 * 4;
    };
    std::vector<std::uint32_t> chain;
    for (std::uint32_t s = Le32(&file[start]); s < 0xFFFFFFFA; s = Le32(&file[fat(s)])) {
        chain.push_back(s);
    }
    const auto moved = [&](std::size_t k) { // where the k-th sector goes; then the chain's end
        return k < chain.size() ? chain[k % 2 ? chain.size() - 1 - k / 2 : k / 2] : 0xFFFFFFFE;
    };
    const Bytes original = file;
    for (std::size_t k = 0; k < chain.size(); ++k) {
        std::copy_n(&original[at(chain[k])], 512, &file[at(moved(k))]);
        std::copy_n(U32(moved(k + 1)).begin(), 4, &file[fat(moved(k))]);
    }
    std::copy_n(U32(moved(0)).begin(), 4, &file[start]);
    return file;
}

TEST(XlsWriterTest, XlrdReadsWhatWasWrittenAndWeReadItScatteredAndOutOfOrder) {
    for (void (*fill)(Workbook&) : {Values, ManyStrings}) {
        Workbook book;
        fill(book);
        SCOPED_TRACE(ToUtf8(book.sheet(1).name()));
        TempDir dir;
        WriteXlsFile(book, dir / "w.xls");
        json xlrd = XlrdValues(dir / "w.xls");
        EXPECT_EQ(xlrd["log"], "") << "xlrd complained";
        EXPECT_EQ(xlrd["biff_version"], 80);
        EXPECT_EQ(xlrd["codepage"], 1200);
        EXPECT_TRUE(SameAsXlrd(book, xlrd));
        EXPECT_TRUE(SameAsXlrd(ReadXlsFile(dir / "w.xls"), xlrd));
        EXPECT_EQ(InspectCompoundFile(dir / "w.xls", dir / "stream"), json::array());
        // Its first two sheets swapped, its chain jumping: pages shared by both are given back and
        // read again, and no more are held than the records in use need (up to four of 8 kB).
        const Bytes changed = Scattered(SheetsSwapped(ReadBytes(dir / "w.xls")));
        WriteBytes(dir / "s.xls", changed);
        std::swap(xlrd["sheets"][0]["cells"], xlrd["sheets"][1]["cells"]);
        std::size_t held = 0;
        EXPECT_TRUE(SameAsXlrd(ReadPageByPage(dir / "s.xls", &held), xlrd));
        EXPECT_LE(held, 8 * 4096);
        EXPECT_TRUE(SameAsXlrd(ReadXlsFile(dir / "s.xls"), xlrd));
        EXPECT_TRUE(SameAsXlrd(ReadXlsBytes(changed, "s.xls"), xlrd));
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
        EXPECT_EQ(Le32(&file[44]), fatSectors);
        EXPECT_EQ(Le32(&file[72]), difatSectors);
        EXPECT_EQ(Le32(&file[68]) == 0xFFFFFFFEu, difatSectors == 0); // the first DIFAT
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
        EXPECT_EQ(e.fault(), WorkbookFault::SheetRule);
        EXPECT_THAT(e.description(),
                    ::testing::HasSubstr("「" + (dir / "old.xls").string() + "」"));
        EXPECT_THAT(e.description(), ::testing::HasSubstr("「データ」のセル (3, 2)"));
    }
    EXPECT_EQ(ReadBytes(dir / "old.xls"), (Bytes{1, 2, 3}));
}

} // namespace
} // namespace tomorine
