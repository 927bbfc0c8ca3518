#include "biff_stream_builder.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/biff_records.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tomorine {
namespace {

using test::Bytes;
using test::CfbLayout;
using ::testing::HasSubstr;

// A one-sheet workbook whose values are known by construction; `rows` makes
// it as large as wanted (400 rows take about 13 KB, 20 rows fit the mini stream).
struct Sample {
    Bytes stream;
    nlohmann::json expected;
};

Sample MakeSample(int rows) {
    const std::u16string strings[] = {u"名前", u"URL", u"メモ", u"https://example.jp/"};
    Bytes sst;
    for (const auto& s : strings) {
        sst = test::Concat({sst, test::UnicodeString(s)});
    }
    test::TestSheet sheet{u"ブックマーク", {}, 0};
    nlohmann::json cells = nlohmann::json::array();
    for (std::uint16_t c = 0; c < 3; ++c) {
        sheet.records.push_back(test::LabelSstCell(0, c, c));
        cells.push_back({0, c, "text", ToUtf8(strings[c])});
    }
    for (std::uint16_t r = 1; r <= rows; ++r) {
        sheet.records.push_back(test::NumberCell(r, 0, r * 1.5));
        sheet.records.push_back(test::LabelSstCell(r, 1, 3));
        cells.push_back({r, 0, "number", r * 1.5});
        cells.push_back({r, 1, "text", ToUtf8(strings[3])});
    }
    Sample sample;
    sample.stream = test::WorkbookStream({test::SstRecords(4, {sst})}, {sheet});
    sample.expected = {{"sheets", {{{"name", ToUtf8(sheet.name)}, {"cells", cells}}}}};
    return sample;
}

struct Layout {
    const char* name;
    CfbLayout layout;
    int rows;
    // A stream placed before the workbook: 7 MB puts the workbook's FAT
    // entries in FAT sectors that a DIFAT sector lists, 16 MB in a second one.
    std::size_t fillerBytes = 0;
};

const Layout kLayouts[] = {
    {"V3Contiguous", {9, false}, 400},
    {"V3Scattered", {9, true}, 400},
    {"V3MiniStream", {9, false}, 20},
    {"V3Difat", {9, false}, 400, 7'200'000},
    {"V3TwoDifatSectors", {9, true}, 400, 16'000'000},
    {"V4Contiguous", {12, false}, 400},
    {"V4Scattered", {12, true}, 400},
    {"V4MiniStream", {12, false}, 20},
};

Bytes LayoutFile(const Layout& layout, const Bytes& stream) {
    if (layout.fillerBytes == 0) {
        return test::XlsFile(stream, layout.layout);
    }
    return test::BuildCompoundFile(
        {{u"Filler", Bytes(layout.fillerBytes, 0x5A)}, {u"Workbook", stream}}, layout.layout);
}

void PrintTo(const Layout& layout, std::ostream* os) {
    *os << layout.name;
}

class LayoutTest : public ::testing::TestWithParam<Layout> {};

TEST_P(LayoutTest, ReadsTheSameValues) {
    const Sample sample = MakeSample(GetParam().rows);
    const Bytes file = LayoutFile(GetParam(), sample.stream);
    EXPECT_TRUE(test::SameAsXlrd(ReadXlsBytes(file, "layout.xls"), sample.expected));
}

// The peer reads 512-byte-sector files (it misplaces 4096-byte sectors).
TEST_P(LayoutTest, XlrdReadsTheSameValues) {
    if (GetParam().layout.sectorShift != 9) {
        GTEST_SKIP();
    }
    test::TempDir dir;
    const Sample sample = MakeSample(GetParam().rows);
    test::WriteBytes(dir / "layout.xls", LayoutFile(GetParam(), sample.stream));
    EXPECT_TRUE(
        test::SameAsXlrd(ReadXlsFile(dir / "layout.xls"), test::XlrdValues(dir / "layout.xls")));
    EXPECT_TRUE(test::SameAsXlrd(ReadXlsFile(dir / "layout.xls"), sample.expected));
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutTest, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StreamNameTest, ReadsBookWhenThereIsNoWorkbook) {
    const Sample sample = MakeSample(400);
    const Bytes file = test::BuildCompoundFile({{u"Book", sample.stream}});
    EXPECT_TRUE(test::SameAsXlrd(ReadXlsBytes(file, "book.xls"), sample.expected));
}

TEST(StreamNameTest, PrefersWorkbookOverBook) {
    const Sample sample = MakeSample(20);
    const Bytes old = test::Record(biff::Bof, {0x00, 0x05, 0x05, 0x00});
    const Bytes file = test::BuildCompoundFile({{u"Book", old}, {u"WORKBOOK", sample.stream}});
    EXPECT_TRUE(test::SameAsXlrd(ReadXlsBytes(file, "both.xls"), sample.expected));
}

TEST(StreamNameTest, RefusesAFileWithoutEither) {
    const Bytes file = test::BuildCompoundFile({{u"WordDocument", MakeSample(20).stream}});
    try {
        ReadXlsBytes(file, "/x/a.doc");
        FAIL();
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::NotInExpectedFormat);
        EXPECT_THAT(e.what(), HasSubstr("「/x/a.doc」は Excel 97-2003 ブックではありません"));
    }
}

TEST(StreamNameTest, ReadsABareBiffStream) {
    const Sample sample = MakeSample(20);
    EXPECT_TRUE(test::SameAsXlrd(ReadXlsBytes(sample.stream, "bare.xls"), sample.expected));
}

// The Workbook chain runs on into another stream's sectors: longer than its
// size, and sharing sectors with that stream. Neither harms the workbook.
TEST(ChainTest, AcceptsAChainLongerThanTheStreamIntoAnotherStream) {
    const Sample sample = MakeSample(400);
    const std::size_t sectors = (sample.stream.size() + 511) / 512;
    Bytes file =
        test::BuildCompoundFile({{u"Workbook", sample.stream}, {u"Filler", Bytes(8192, 7)}});
    test::SetU32(file, test::FatEntryOffset(file, static_cast<std::uint32_t>(sectors - 1)),
                 static_cast<std::uint32_t>(sectors));
    EXPECT_TRUE(test::SameAsXlrd(ReadXlsBytes(file, "long.xls"), sample.expected));
    test::TempDir dir;
    test::WriteBytes(dir / "long.xls", file);
    EXPECT_TRUE(test::SameAsXlrd(ReadXlsBytes(file, "long.xls"),
                                 test::XlrdValues(dir / "long.xls", test::XlrdMode::Lenient)));
}

} // namespace
} // namespace tomorine
