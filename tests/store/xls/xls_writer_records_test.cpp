// The records we write, set against those of xlwt, whose workbooks Excel
// opens: same records, order and field values wherever Excel may care.
#include "record_dump.h"
#include "store/workbook/utf.h"
#include "store/xls/record_writer.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tomorine {
namespace {

using test::BiffRecord;
using test::RecordList;
using test::TempDir;

constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kWriteAccess = 0x005C;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kExtSst = 0x00FF;

// Numbers are placed so that xlwt writes them as we do: it packs runs of
// RK cells into MULRK and writes fractions such as 1.25 as RK with the x100
// flag, while we write one RK per integer and NUMBER for any other number.
// Both are plain BIFF8 that Excel writes itself. xlwt also writes an empty
// text as a BLANK cell, which we keep as a text.
Workbook Content() {
    Workbook book;
    Sheet& data = book.addSheet(u"データ");
    data.replaceRow(1, {Cell::text(u"シリアル番号"), Cell::text(u"URL"), Cell::text(u"タイトル"),
                        Cell(), Cell::text(u"削除")});
    data.replaceRow(2, {Cell::number(1), Cell::text(u"https://example.com/"),
                        Cell::text(u"例のページ"), Cell(), Cell::number(0)});
    data.replaceRow(3, {Cell::number(2), Cell::text(u"URL"), Cell(), Cell::number(3.14159), Cell(),
                        Cell::boolean(true)});
    data.replaceRow(5, {Cell(), Cell(), Cell::error(42), Cell(), Cell(), Cell(), Cell::number(-7),
                        Cell::boolean(false)});
    data.setCell(6, 2, Cell::number(1e300));
    book.addSheet(u"Sheet2");
    Sheet& notes = book.addSheet(u"メモ");
    notes.setCell(1, 1, Cell::text(u"URL"));
    notes.setCell(3, 4, Cell::text(u"メモ"));
    return book;
}

struct Inspected {
    nlohmann::json cfb;
    std::vector<RecordList> substreams;
};

Inspected Inspect(const std::filesystem::path& file) {
    const std::filesystem::path stream = file.string() + ".stream";
    Inspected result;
    result.cfb = test::InspectCompoundFile(file, stream);
    result.substreams = test::SplitSubstreams(test::ListRecords(test::ReadBytes(stream)));
    return result;
}

std::vector<std::uint16_t> Ids(const RecordList& records) {
    std::vector<std::uint16_t> ids;
    for (const BiffRecord& r : records) {
        ids.push_back(r.id);
    }
    return ids;
}

// BOUNDSHEET's name: 8-bit length, option flags, then the characters.
std::u16string SheetName(const BiffRecord& r) {
    const std::size_t length = r.body.at(6);
    const bool wide = r.body.at(7) & 1;
    std::u16string name;
    for (std::size_t i = 0; i < length; ++i) {
        name += wide ? static_cast<char16_t>(r.u16(8 + 2 * i))
                     : static_cast<char16_t>(r.body.at(8 + i));
    }
    return name;
}

constexpr std::uint16_t kRow = 0x0208;

// xlwt writes 0 as every ROW's first used column; we write the column of the
// row's first cell, as the format defines it and as Excel writes it.
BiffRecord WithXlwtsFirstColumn(BiffRecord row) {
    row.body.at(2) = 0;
    row.body.at(3) = 0;
    return row;
}

void ExpectSameRecords(const RecordList& ours, const RecordList& xlwt, const std::string& what) {
    ASSERT_EQ(Ids(ours), Ids(xlwt)) << what << "\nours:\n"
                                    << test::Listing(ours) << "xlwt:\n"
                                    << test::Listing(xlwt);
    for (std::size_t i = 0; i < ours.size(); ++i) {
        if (ours[i].id == kWriteAccess || ours[i].id == kBoundSheet) {
            continue; // compared on their own
        }
        const BiffRecord mine = ours[i].id == kRow ? WithXlwtsFirstColumn(ours[i]) : ours[i];
        EXPECT_EQ(mine.body, xlwt[i].body)
            << what << " record " << i << ": ours " << test::Describe(ours[i]) << ", xlwt "
            << test::Describe(xlwt[i]);
    }
}

class AgainstXlwt : public ::testing::Test {
protected:
    void SetUp() override {
        WriteXlsFile(Content(), dir / "ours.xls");
        test::WriteWithXlwt(Content(), dir / "xlwt.xls");
        ours = Inspect(dir / "ours.xls");
        xlwt = Inspect(dir / "xlwt.xls");
        ASSERT_EQ(ours.substreams.size(), 4u);
        ASSERT_EQ(xlwt.substreams.size(), 4u);
    }

    TempDir dir;
    Inspected ours;
    Inspected xlwt;
};

TEST_F(AgainstXlwt, GlobalsHaveXlwtsRecordsPlusExtSst) {
    RecordList globals = ours.substreams[0];
    // EXTSST follows SST in every workbook Excel writes; xlwt leaves it out.
    const auto sst = std::find_if(globals.begin(), globals.end(),
                                  [](const BiffRecord& r) { return r.id == kSst; });
    ASSERT_NE(sst, globals.end());
    ASSERT_EQ(std::next(sst)->id, kExtSst);
    globals.erase(std::next(sst));
    ExpectSameRecords(globals, xlwt.substreams[0], "globals");
}

TEST_F(AgainstXlwt, BoundSheetsNameTheSheetsAndPointAtTheirBof) {
    for (const Inspected* file : {&ours, &xlwt}) {
        const RecordList& globals = file->substreams[0];
        std::size_t sheet = 1;
        for (const BiffRecord& r : globals) {
            if (r.id != kBoundSheet) {
                continue;
            }
            ASSERT_LT(sheet, file->substreams.size());
            const RecordList& substream = file->substreams[sheet];
            EXPECT_EQ(r.u32(0), substream.front().position) << test::Describe(r);
            EXPECT_EQ(r.u16(4), 0) << "visible worksheet";
            EXPECT_EQ(SheetName(r), Content().sheet(static_cast<int>(sheet)).name());
            ++sheet;
        }
        EXPECT_EQ(sheet, file->substreams.size());
    }
}

TEST_F(AgainstXlwt, WriteAccessIsAProperStringOfTheSameSize) {
    // xlwt writes the bare bytes "None" and spaces; Excel writes a BIFF8
    // string with its length and flags there, padded to the same 112 bytes.
    const auto writeAccess = [](const RecordList& globals) {
        return *std::find_if(globals.begin(), globals.end(),
                             [](const BiffRecord& r) { return r.id == kWriteAccess; });
    };
    const BiffRecord mine = writeAccess(ours.substreams[0]);
    EXPECT_EQ(mine.body.size(), writeAccess(xlwt.substreams[0]).body.size());
    const std::size_t length = mine.u16(0);
    ASSERT_EQ(mine.body.at(2), 1) << "UTF-16 characters";
    EXPECT_TRUE(std::all_of(mine.body.begin() + 3 + 2 * static_cast<std::ptrdiff_t>(length),
                            mine.body.end(), [](std::uint8_t b) { return b == ' '; }));
}

TEST_F(AgainstXlwt, SheetsHaveTheSameRecords) {
    for (std::size_t i = 1; i < 4; ++i) {
        ExpectSameRecords(ours.substreams[i], xlwt.substreams[i], "sheet " + std::to_string(i));
    }
}

TEST_F(AgainstXlwt, CompoundFileHeaderAndDirectory) {
    EXPECT_EQ(ours.cfb["log"], "");
    EXPECT_EQ(ours.cfb["header"], xlwt.cfb["header"]);
    const nlohmann::json& mine = ours.cfb["directory"];
    const nlohmann::json& theirs = xlwt.cfb["directory"];
    ASSERT_EQ(mine.size(), theirs.size());
    EXPECT_EQ(mine[0], theirs[0]) << "root entry";
    EXPECT_EQ(mine[1], theirs[1]) << "Workbook stream";
    for (std::size_t i = 2; i < mine.size(); ++i) {
        // Unused entries are all zero but for the sibling and child ids, as
        // the compound file format asks; xlwt marks them black and gives
        // them an end-of-chain start sector.
        nlohmann::json unused = theirs[i];
        unused["colour"] = 0;
        unused["start"] = 0;
        EXPECT_EQ(mine[i], unused) << "unused entry " << i;
    }
}

// The stream position and in-record offset of each EXTSST bucket point at
// the header of the bucket's first string.
TEST(ExtSst, PointsAtEachBucketsFirstString) {
    Workbook book;
    Sheet& sheet = book.addSheet(u"文字列");
    std::vector<std::u16string> texts;
    for (int i = 0; i < 2000; ++i) {
        std::u16string text = FromUtf8(std::to_string(i)) + (i % 3 ? u"番目の文字列" : u"-ascii-");
        text.append(static_cast<std::size_t>(i % 97), i % 3 ? u'長' : u'x');
        texts.push_back(text);
        sheet.setCell(i / 4 + 1, i % 4 + 1, Cell::text(text));
    }
    TempDir dir;
    WriteXlsFile(book, dir / "sst.xls");
    const nlohmann::json cfb = test::InspectCompoundFile(dir / "sst.xls", dir / "stream");
    const std::vector<std::uint8_t> stream = test::ReadBytes(dir / "stream");
    const RecordList records = test::ListRecords(stream);

    const auto extSst = std::find_if(records.begin(), records.end(),
                                     [](const BiffRecord& r) { return r.id == kExtSst; });
    ASSERT_NE(extSst, records.end());
    const std::size_t perBucket = extSst->u16(0);
    EXPECT_EQ(perBucket, 2000u / 128 + 1);
    const std::size_t buckets = (extSst->body.size() - 2) / 8;
    ASSERT_EQ(buckets, (texts.size() + perBucket - 1) / perBucket);
    for (std::size_t b = 0; b < buckets; ++b) {
        const std::size_t at = extSst->u32(2 + 8 * b);
        const std::size_t offset = extSst->u16(2 + 8 * b + 4);
        const auto record = std::find_if(records.begin(), records.end(), [&](const BiffRecord& r) {
            return r.position == at - offset;
        });
        ASSERT_NE(record, records.end()) << "bucket " << b;
        EXPECT_TRUE(record->id == kSst || record->id == kContinue) << test::Describe(*record);
        const std::u16string& text = texts[b * perBucket];
        EXPECT_EQ(stream.at(at) | stream.at(at + 1) << 8, static_cast<int>(text.size()));
        const bool wide = stream.at(at + 2) & 1;
        const char16_t first =
            wide ? static_cast<char16_t>(stream.at(at + 3) | stream.at(at + 4) << 8)
                 : stream.at(at + 3);
        EXPECT_EQ(first, text[0]) << "bucket " << b;
    }
}

TEST(RecordWriter, SplitsLongBodiesIntoContinueRecords) {
    std::vector<std::uint8_t> body(20000);
    for (std::size_t i = 0; i < body.size(); ++i) {
        body[i] = static_cast<std::uint8_t>(i * 7);
    }
    std::vector<std::uint8_t> stream;
    biff::RecordWriter out(stream, 0);
    out.record(0x013D, body);
    out.record(0x000A, {});
    const RecordList records = test::ListRecords(stream);
    ASSERT_EQ(records.size(), 4u) << test::Listing(records);
    EXPECT_EQ(Ids(records), (std::vector<std::uint16_t>{0x013D, kContinue, kContinue, 0x000A}));
    EXPECT_EQ(records[0].body.size(), 8224u);
    EXPECT_EQ(records[1].body.size(), 8224u);
    std::vector<std::uint8_t> joined;
    for (std::size_t i = 0; i < 3; ++i) {
        joined.insert(joined.end(), records[i].body.begin(), records[i].body.end());
    }
    EXPECT_EQ(joined, body);
}

} // namespace
} // namespace tomorine
