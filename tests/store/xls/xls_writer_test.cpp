// Writing: workbooks we write read back by xlrd value by value; compound
// files of the sizes where the FAT and DIFAT grow; refusals that leave the
// old file as it was. xlwt, whose workbooks Excel opens, as a peer: what it
// writes we read exactly as xlrd does, and the records we write are its own,
// in its order, wherever Excel may care.
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
#include <cstdio>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace tomorine {
namespace {

using namespace test;
using Bytes = std::vector<std::uint8_t>;
using ::testing::HasSubstr;
using xls::Le16;

nlohmann::json WriteAndCompare(const Workbook& book, const std::filesystem::path& file,
                               const std::vector<int>& rows = {}) {
    WriteXlsFile(book, file);
    nlohmann::json peer = XlrdValues(file, XlrdMode::Strict, rows);
    EXPECT_EQ(peer["log"], "") << "xlrd complained";
    EXPECT_EQ(peer["biff_version"], 80);
    EXPECT_EQ(peer["codepage"], 1200);
    EXPECT_TRUE(SameAsXlrd(book, peer));
    return peer;
}

std::u16string Repeat(std::u16string_view piece, std::size_t times) {
    std::u16string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// Texts, numbers (RK's edges among them), booleans and every error code.
void Values(Workbook& book) {
    Sheet& sheet = book.addSheet(u"値");
    sheet.replaceRow(1, {Cell::text(u"トモリネ：ブックマーク記録帳（テスト）"),
                         Cell::text(u"café ÿ ©"), Cell::text(u"It's 'quoted' ''twice''"),
                         Cell::text(u"a\tb\t"), Cell::text(u"line1\nline2\r\nline3\r\n"),
                         Cell::text(u""), Cell::text(u" "), Cell::text(u"𠮷野家で🍣を食べた😀"),
                         Cell::text(u"ｶﾀｶﾅ"), Cell::text(std::u16string(u"a\0b", 3)),
                         Cell::text(Repeat(u"長い文字列ABC", 250)), Cell::text(Repeat(u"x", 32767)),
                         Cell::text(Repeat(u"長", 30000)), Cell::text(Repeat(u"😀", 15000)),
                         Cell::text(u"後")});
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
}

void SheetsAndLimits(Workbook& book) {
    book.addSheet(u"データ").setCell(1, 1, Cell::text(u"一枚目"));
    book.addSheet(u"空のシート");
    book.addSheet(u"O'Brien's list").setCell(2, 3, Cell::number(3));
    book.addSheet(u"Sheet1 (2)").setCell(1, 1, Cell::text(u"一枚目")); // shared string
    Sheet& edge = book.addSheet(Repeat(u"長", 31));
    edge.setCell(Sheet::MaxRows, Sheet::MaxColumns, Cell::text(u"最後のセル"));
    edge.setCell(Sheet::MaxRows, 1, Cell::number(65536));
    edge.setCell(1, Sheet::MaxColumns, Cell::boolean(true));
}

// Thousands of rows of distinct strings of every length up to a few hundred
// characters, one-byte and two-byte with surrogate pairs: the shared string
// table runs over many CONTINUE records and splits at every kind of place.
void ManyRows(Workbook& book) {
    std::mt19937 random(20240607);
    const std::u16string pieces[] = {u"a", u"Z9", u"é", u"あ", u"漢字", u"😀", u"\t", u" "};
    Sheet& sheet = book.addSheet(u"行");
    for (int r = 1; r <= 5000; ++r) {
        std::u16string text = FromUtf8(std::to_string(r)) + u":";
        for (int i = static_cast<int>(random() % 300); i > 0; --i) {
            text += pieces[random() % (r % 2 ? std::size(pieces) : 3)];
        }
        sheet.replaceRow(r, {Cell::number(r), Cell::text(text), Cell(), Cell::number(r * 0.25)});
        sheet.setCell(r, 5 + r % 3, Cell::boolean(r % 2 == 0));
    }
}

TEST(XlsWriterValues, XlrdReadsWhatWasWritten) {
    Workbook book;
    Values(book);
    SheetsAndLimits(book);
    ManyRows(book);
    TempDir dir;
    const nlohmann::json peer = WriteAndCompare(book, dir / "values.xls");
    EXPECT_TRUE(SameAsXlrd(ReadXlsFile(dir / "values.xls"), peer));
}

// xlrd's compound document reader reads the file without a complaint, and
// every sector is in use and flagged as what it is.
void ExpectEverySectorAccountedFor(const nlohmann::json& cfb) {
    EXPECT_EQ(cfb["log"], "");
    EXPECT_EQ(cfb["difat_sectors_used"], cfb["header"]["difat_sectors"]);
    EXPECT_EQ(cfb["fat_sectors_used"], cfb["header"]["fat_sectors"]);
    EXPECT_EQ(cfb["unused_sectors"], 0);
    EXPECT_EQ(cfb["misflagged_sectors"], 0);
}

// A full sheet, 65,536 rows by 58 columns of text: tens of MB, so the FAT
// needs DIFAT sectors beyond the 109 ids in the header.
TEST(XlsWriterValues, FullSheetNeedsDifatSectors) {
    std::vector<Cell> pool;
    for (int i = 0; i < 1000; ++i) {
        pool.push_back(Cell::text(u"エントリ" + FromUtf8(std::to_string(i)) + u"のタイトル"));
    }
    Workbook book;
    Sheet& sheet = book.addSheet(u"データ");
    for (int r = 1; r <= Sheet::MaxRows; ++r) {
        Sheet::Row row;
        for (int c = 0; c < 58; ++c) {
            row.push_back(pool[static_cast<std::size_t>(r * 58 + c) % pool.size()]);
        }
        sheet.appendRow(std::move(row));
    }
    TempDir dir;
    WriteAndCompare(book, dir / "full.xls", {0, 1, 32768, 65535});
    const nlohmann::json cfb = InspectCompoundFile(dir / "full.xls", dir / "stream");
    ExpectEverySectorAccountedFor(cfb);
    EXPECT_GT(cfb["header"]["difat_sectors"].get<int>(), 1);
}

struct SizeCase {
    std::size_t streamBytes;
    int fatSectors;
    int difatSectors;
};

// A FAT sector maps 128 sectors, its own and the DIFAT's among them; the
// header lists 109 FAT sectors, each DIFAT sector 127 more.
constexpr std::size_t kSector = 512;
const SizeCase kSizes[] = {
    {0, 1, 0},                     // padded to 4096 bytes, no mini stream
    {126 * kSector, 1, 0},         // one FAT sector full
    {126 * kSector + 1, 2, 0},     // a second FAT sector
    {13842 * kSector, 109, 0},     // the header's list full
    {13842 * kSector + 1, 110, 1}, // the first DIFAT sector
    {29970 * kSector + 1, 237, 2}, // the second DIFAT sector
};

TEST(CompoundFileSize, XlrdReadsTheStreamBackWithEverySectorAccountedFor) {
    for (const SizeCase& c : kSizes) {
        SCOPED_TRACE(c.streamBytes);
        Bytes file(cfb::HeaderSize + c.streamBytes);
        for (std::size_t i = cfb::HeaderSize; i < file.size(); ++i) {
            file[i] = static_cast<std::uint8_t>(i * 31 % 251);
        }
        Bytes stream(file.begin() + cfb::HeaderSize, file.end());
        stream.resize(std::max<std::size_t>(stream.size(), 4096), 0);
        cfb::FinishCompoundFile(file);

        TempDir dir;
        WriteBytes(dir / "file.cfb", file);
        const nlohmann::json peer = InspectCompoundFile(dir / "file.cfb", dir / "stream");
        ExpectEverySectorAccountedFor(peer);
        EXPECT_TRUE(ReadBytes(dir / "stream") == stream) << "stream differs";
        EXPECT_EQ(peer["header"]["fat_sectors"], c.fatSectors);
        EXPECT_EQ(peer["header"]["difat_sectors"], c.difatSectors);
        EXPECT_EQ(peer["header"]["first_difat_sector"] == 0xFFFFFFFEu, c.difatSectors == 0);
    }
}

// A text longer than a cell holds, or no sheet at all: an error that names
// the file (and the sheet and cell), and the old file as it was.
TEST(XlsWriterRefusals, LeaveTheFileAsItWas) {
    Workbook tooLong;
    tooLong.addSheet(u"データ").setCell(3, 2, Cell::text(Repeat(u"x", 32768)));
    for (const Workbook& book : {tooLong, Workbook{}}) {
        TempDir dir;
        WriteBytes(dir / "old.xls", {1, 2, 3});
        try {
            WriteXlsFile(book, dir / "old.xls");
            ADD_FAILURE() << "written";
        } catch (const WorkbookError& e) {
            EXPECT_THAT(e.description(), HasSubstr("old.xls"));
            if (book.sheetCount() > 0) {
                EXPECT_EQ(e.number(), ErrorNumber::SheetRule);
                EXPECT_THAT(e.description(), HasSubstr("データ"));
                EXPECT_THAT(e.description(), HasSubstr("(3, 2)"));
            }
        }
        EXPECT_EQ(ReadBytes(dir / "old.xls"), (Bytes{1, 2, 3}));
    }
}

// Thousands of entry-like rows, whose numbers xlwt packs as RK and MULRK
// runs; texts up to 32,767 characters (xlwt counts them in code points, so
// they stay in the Basic Multilingual Plane); booleans and errors.
TEST(XlwtFiles, AreReadAsXlrdReadsThem) {
    Workbook book;
    Sheet& sheet = book.addSheet(u"トモリネ");
    for (int r = 1; r <= 4000; ++r) {
        const std::u16string n = FromUtf8(std::to_string(r));
        sheet.replaceRow(r, {Cell::number(r - 1), Cell::text(u"https://example.jp/" + n),
                             Cell::text(u"ページ「" + n.substr(1) + u"」の題"),
                             Cell::number((r % 9) * 0.25), Cell::number(0),
                             Cell::text(n + std::u16string(r % 200, r % 2 ? u'あ' : u'a'))});
        sheet.setCell(r, 7 + r % 3,
                      r % 2 ? Cell::boolean(r % 4 == 1) : Cell::error(r % 4 ? 7 : 42));
    }
    book.addSheet(u"空");
    Sheet& other = book.addSheet(u"Texts");
    other.setCell(1, 1, Cell::text(std::u16string(32767, u'x')));
    other.setCell(2, 1, Cell::text(std::u16string(9000, u'長')));
    other.setCell(3, 1, Cell::text(u"タブ\t改行\r\nアポストロフィ'　全角空白"));
    TempDir dir;
    WriteWithXlwt(book, dir / "xlwt.xls");
    const nlohmann::json xlrd = XlrdValues(dir / "xlwt.xls");
    ASSERT_TRUE(SameAsXlrd(book, xlrd)) << "xlwt did not write what it was given";
    EXPECT_TRUE(SameAsXlrd(ReadXlsFile(dir / "xlwt.xls"), xlrd));
}

struct Record {
    std::uint16_t id;
    std::size_t position; // of the record's header in the stream
    Bytes body;
};

struct Written {
    nlohmann::json cfb; // as xlrd's compound document reader sees the file
    Bytes stream;
    std::vector<Record> records; // up to the zero padding after the last
};

Written Inspect(const std::filesystem::path& file) {
    Written out{InspectCompoundFile(file, file.string() + ".stream"), {}, {}};
    EXPECT_EQ(out.cfb["log"], "");
    const Bytes& s = out.stream = ReadBytes(file.string() + ".stream");
    for (std::size_t at = 0; at + 4 <= s.size() && Le16(&s[at]) != 0;) {
        const std::size_t end = std::min(s.size(), at + 4 + Le16(&s[at + 2]));
        out.records.push_back({Le16(&s[at]), at, Bytes(s.data() + at + 4, s.data() + end)});
        at = end;
    }
    return out;
}

// One line a record, id and body in hex, with what differs from xlwt for a
// stated reason set aside.
std::string Listing(std::vector<Record> records) {
    std::string text;
    for (Record& r : records) {
        if (r.id == biff::ExtSst) {
            continue; // Excel writes it after SST; xlwt leaves it out
        }
        if (r.id == biff::BoundSheet || r.id == biff::WriteAccess) {
            // Offsets and names, which xlrd follows and reads; a user name,
            // bare "None" from xlwt and a BIFF8 string from us.
            r.body.assign(r.body.size() * (r.id == biff::WriteAccess), ' ');
        }
        if (r.id == biff::Row) {
            // xlwt writes 0 as every row's first used column; we write the
            // column of its first cell, as the format and Excel do.
            r.body.at(2) = r.body.at(3) = 0;
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04x:", r.id);
        text += hex;
        for (std::uint8_t b : r.body) {
            std::snprintf(hex, sizeof hex, " %02x", b);
            text += hex;
        }
        text += '\n';
    }
    return text;
}

// Numbers are placed so that xlwt writes them as we do: it packs runs of RK
// cells into MULRK and writes fractions such as 1.25 as RK with the x100
// flag, while we write one RK per integer and NUMBER for any other number.
// Both are plain BIFF8. xlwt writes an empty text as BLANK; we keep a text.
TEST(AgainstXlwt, SameRecordsAndCompoundFileHeader) {
    Workbook book;
    Sheet& data = book.addSheet(u"データ");
    data.replaceRow(1, {Cell::text(u"シリアル番号"), Cell::text(u"URL"), Cell(), Cell::number(0)});
    data.replaceRow(2, {Cell::number(1), Cell::text(u"https://example.com/"), Cell(),
                        Cell::number(3.14159), Cell(), Cell::boolean(true)});
    data.replaceRow(4, {Cell(), Cell::error(42), Cell(), Cell::number(-7), Cell::boolean(false)});
    data.setCell(5, 2, Cell::number(1e300));
    book.addSheet(u"Sheet2");
    book.addSheet(u"メモ").setCell(3, 4, Cell::text(u"URL"));
    TempDir dir;
    WriteXlsFile(book, dir / "ours.xls");
    WriteWithXlwt(book, dir / "xlwt.xls");
    const Written ours = Inspect(dir / "ours.xls");
    const Written xlwt = Inspect(dir / "xlwt.xls");
    EXPECT_EQ(Listing(ours.records), Listing(xlwt.records));
    EXPECT_EQ(ours.cfb["header"], xlwt.cfb["header"]);
}

// Each EXTSST bucket's stream position and in-record offset point at the
// header of the bucket's first string.
TEST(ExtSst, PointsAtEachBucketsFirstString) {
    Workbook book;
    Sheet& sheet = book.addSheet(u"文字列");
    std::vector<std::u16string> texts;
    for (int i = 0; i < 2000; ++i) {
        texts.push_back(FromUtf8(std::to_string(i)) + (i % 3 ? u"番目の文字列" : u"-ascii-"));
        texts.back().append(static_cast<std::size_t>(i % 97), i % 3 ? u'長' : u'x');
        sheet.setCell(i / 4 + 1, i % 4 + 1, Cell::text(texts.back()));
    }
    TempDir dir;
    WriteXlsFile(book, dir / "sst.xls");
    const auto [cfb, stream, records] = Inspect(dir / "sst.xls");
    const auto extSst = std::find_if(records.begin(), records.end(),
                                     [](const Record& r) { return r.id == biff::ExtSst; });
    ASSERT_NE(extSst, records.end());
    const std::size_t perBucket = Le16(extSst->body.data());
    ASSERT_EQ(perBucket, 2000u / 128 + 1);
    ASSERT_EQ(extSst->body.size(), 2 + 8 * ((texts.size() + perBucket - 1) / perBucket));
    for (std::size_t b = 0; b * perBucket < texts.size(); ++b) {
        SCOPED_TRACE(b);
        const std::uint8_t* bucket = &extSst->body.at(2 + 8 * b);
        const std::size_t at = xls::Le32(bucket);
        EXPECT_TRUE(std::any_of(records.begin(), records.end(), [&](const Record& r) {
            return r.position == at - Le16(bucket + 4) &&
                   (r.id == biff::Sst || r.id == biff::Continue);
        }));
        const std::u16string& text = texts[b * perBucket];
        EXPECT_EQ(Le16(&stream.at(at)), text.size());
        EXPECT_EQ(stream.at(at + 2) & 1 ? Le16(&stream.at(at + 3)) : stream.at(at + 3), text[0]);
    }
}

} // namespace
} // namespace tomorine
