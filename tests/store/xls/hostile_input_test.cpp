// Crafted broken inputs, and corpus files cut short or with bytes changed:
// each ends in a value or a WorkbookError, never in a crash, a hang or an
// allocation beyond what the input's size accounts for.
#include "biff_stream_builder.h"
#include "largest_allocation.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/biff_records.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>

namespace tomorine {
namespace {

using namespace test;
using ::testing::HasSubstr;

struct Outcome {
    bool read = false;
    int number = 0;
    std::string description;
};

// Fails the calling test on any exception but a WorkbookError, and on any
// single allocation beyond the input's size times 16 and the row table of
// one full sheet (65,536 rows, which the model may double).
Outcome Read(const Bytes& bytes, const std::string& what) {
    Outcome out;
    const LargestAllocation largest;
    try {
        ReadXlsBytes(bytes, "/x/hostile.xls");
        out.read = true;
    } catch (const WorkbookError& e) {
        out.number = e.number();
        out.description = e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << what << ": not a WorkbookError: " << e.what();
    }
    EXPECT_LE(largest.bytes(), (std::size_t{4} << 20) + 16 * bytes.size()) << what;
    return out;
}

Bytes Patched(Bytes file, std::size_t at, std::uint32_t value) {
    const Bytes bytes = U32(value);
    std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
    return file;
}

Bytes Cut(Bytes file, std::size_t size) {
    file.resize(size);
    return file;
}

// Where sector n starts, and entries of the first FAT and directory sectors.
std::size_t SectorAt(const Bytes& file, std::uint32_t n) {
    return (std::size_t{n} + 1) << file[30];
}
std::size_t FatEntry(const Bytes& f, std::uint32_t n) {
    return SectorAt(f, xls::Le32(&f[76])) + 4 * n;
}
std::size_t DirField(const Bytes& f, std::uint32_t entry, std::size_t field) {
    return SectorAt(f, xls::Le32(&f[48])) + 128 * entry + field;
}

// About 13 KB: sectors 0 to 25 of a file, before its FAT and directory.
Bytes Stream() {
    TestSheet sheet{u"Sheet1", {}, 0};
    for (std::uint16_t r = 0; r < 400; ++r) {
        sheet.records.push_back(NumberCell(r, 0, r));
        sheet.records.push_back(CellRecord(biff::LabelSst, r, 1, U32(0)));
    }
    return WorkbookStream({SstRecords(1, {UnicodeString(u"url")})}, {sheet});
}

Bytes Xls(const std::vector<Bytes>& globals, const std::vector<TestSheet>& sheets) {
    return XlsFile(WorkbookStream(globals, sheets));
}

Bytes OneSheet(std::vector<Bytes> records) {
    return Xls({}, {{u"Sheet1", std::move(records), 0}});
}

Bytes CellsFarApart() {
    std::vector<Bytes> records;
    for (std::uint32_t r = 0; r < 40000; ++r) {
        records.push_back(CellRecord(biff::Rk, static_cast<std::uint16_t>(r), 255, U32(2)));
    }
    return OneSheet(records);
}

Bytes TooManySheets() {
    std::vector<TestSheet> sheets(10001);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string name = "S" + std::to_string(i);
        sheets[i].name.assign(name.begin(), name.end());
    }
    return Xls({}, sheets);
}

constexpr int kFormat = ErrorNumber::NotInExpectedFormat;
constexpr const char* kReads = nullptr;

struct BrokenCase {
    const char* name;
    Bytes input;
    const char* phrase; // of a NotInExpectedFormat error; kReads: the file must read
};

void PrintTo(const BrokenCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<BrokenCase> BrokenCases() {
    const Bytes big = XlsFile(Stream());
    const auto fat = [&](std::uint32_t n, std::uint32_t v) {
        return Patched(big, FatEntry(big, n), v);
    };
    const auto dir = [&](std::uint32_t e, std::size_t f, std::uint32_t v) {
        return Patched(big, DirField(big, e, f), v);
    };
    const std::uint32_t dirSector = xls::Le32(&big[48]);
    const Bytes globals = Cut(WorkbookStream({}, {}), kFirstBoundSheet); // no EOF
    // Two sheets whose BOUNDSHEET records give these offsets.
    const Bytes two = WorkbookStream({}, {{u"SA", {}, 0}, {u"SB", {}, 0}});
    const std::uint32_t second = xls::Le32(&two[kFirstBoundSheet + 18]);
    const auto offsets = [&](std::uint32_t a, std::uint32_t b) {
        return XlsFile(Patched(Patched(two, kFirstBoundSheet + 4, a), kFirstBoundSheet + 18, b));
    };
    const Bytes formulaText = FormulaCell(0, 0, {0, 0, 0, 0, 0, 0, 0xFF, 0xFF});
    Bytes chart = WorkbookStream({}, {{u"A", {}, 2}});
    chart[kFirstBoundSheet + 4 + 5] = 0; // the BOUNDSHEET says worksheet
    // The first sheet's EOF becomes a CODEPAGE with no body, and one follows
    // the second: the first sheet runs on through the second.
    Bytes overlap = WorkbookStream({}, {{u"A", {}, 0}, {u"B", {}, 0}});
    overlap[overlap.size() - 24 - 4] = 0x42;
    return {
        {"NotACompoundFile", Bytes(600, 'x'), "ブックではありません"},
        {"Empty", Bytes{}, "ブックではありません"},
        {"HugeSectorShift", Patched(big, 30, 0x0006001E), "壊れています"},
        {"FatLoop", fat(2, 1), "循環"},
        {"SectorFarOutOfRange", fat(1, 1'000'000), "壊れています"},
        {"SectorJustPastTheEnd", fat(1, 100), "途中で切れています"},
        {"ChainShorterThanStream", fat(1, 0xFFFFFFFE), "短い"},
        {"DirectorySectorLoop", fat(dirSector, dirSector), "循環"},
        // Our writer puts the directory in the last sector.
        {"CutInsideTheDirectory", Cut(big, big.size() - 100), "途中で切れています"},
        {"DirectoryLoop", dir(1, 72, 1), "循環"},
        {"EmptyWorkbookStream", dir(1, 120, 0), "空"},
        {"NoWorkbookStream", dir(1, 0, 'X'), "Book ストリーム"},
        // Bare streams end where their last record ends.
        {"RecordPastStreamEnd", Concat({globals, {0x42, 0, 0xF4, 0x01, 1, 2, 3}}),
         "途中で切れています"},
        {"GlobalsWithoutEof", globals, "途中で切れています"},
        {"SheetWithoutEof", Cut(WorkbookStream({}, {{u"A", {NumberCell(0, 0, 1)}, 0}}), 99),
         "途中で切れています"},
        {"SheetOffsetOutsideStream", offsets(1'000'000, second), "ストリームの外"},
        {"TwoSheetsAtOneOffset", offsets(90, 90), "同じ位置"},
        {"SheetOffsetNotAtBof", offsets(91, second), "壊れています"},
        {"SheetsOverlap", XlsFile(Concat({overlap, Record(biff::Eof, {})})), "重なって"},
        {"WorksheetBofOfAChart", XlsFile(chart), "BOF の種類"},
        {"LabelSstBeyondSst", OneSheet({CellRecord(biff::LabelSst, 0, 0, U32(3))}),
         "共有文字列 3 番"},
        {"SstCountOf2To31",
         Xls({SstRecords(0x80000000u, {UnicodeString(u"a")})},
             {{u"S", {CellRecord(biff::LabelSst, 0, 0, U32(0))}, 0}}),
         kReads},
        {"SstPhoneticSizeOf4Gb",
         Xls({SstRecords(1, {{1, 0, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}})}, {}),
         "途中で終わっています"},
        {"MulRkRangeBeyondRecord",
         OneSheet({Record(biff::MulRk, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 9, 0})}), "MULRK"},
        {"ColumnBeyond256", OneSheet({NumberCell(0, 256, 1)}), "256"},
        {"ShortNumberRecord", OneSheet({Record(biff::Number, Bytes(10, 0))}), "NUMBER"},
        {"FormulaTextWithoutString", OneSheet({formulaText, NumberCell(0, 1, 1)}), "STRING"},
        {"UnknownFormulaResult", OneSheet({FormulaCell(0, 0, {7, 0, 0, 0, 0, 0, 0xFF, 0xFF})}),
         "数式の結果"},
        {"InvalidSheetName", Xls({}, {{u"a:b", {}, 0}}), "シート名"},
        {"DuplicateSheetNames", Xls({}, {{u"Data", {}, 0}, {u"DATA", {}, 0}}), "重複"},
        {"CellsInTheLastRows", OneSheet({NumberCell(65534, 0, 1), NumberCell(65535, 0, 2)}),
         kReads},
        {"CellsFarApart", CellsFarApart(), "大きすぎます"},
        {"TooManySheets", TooManySheets(), "10000 枚まで"},
    };
}

class BrokenInputTest : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenInputTest, EndsInTheExpectedOutcome) {
    const Outcome out = Read(GetParam().input, GetParam().name);
    if (GetParam().phrase == kReads) {
        EXPECT_TRUE(out.read) << out.description;
    } else {
        EXPECT_FALSE(out.read);
        EXPECT_EQ(out.number, kFormat) << out.description;
        EXPECT_THAT(out.description, HasSubstr(GetParam().phrase));
        EXPECT_THAT(out.description, HasSubstr("「/x/hostile.xls」"));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenInputTest, ::testing::ValuesIn(BrokenCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// 16 MB: FAT sectors listed in two DIFAT sectors, the first of which names
// itself as the next.
TEST(BrokenDifatTest, IsReadOrFoundLooping) {
    Bytes stream = Stream();
    stream.resize(16'000'000);
    const Bytes file = XlsFile(stream);
    EXPECT_TRUE(Read(file, "sound").read);
    const std::uint32_t first = xls::Le32(&file[68]);
    const Outcome loop = Read(Patched(file, SectorAt(file, first) + 508, first), "loop");
    EXPECT_EQ(loop.number, kFormat);
    EXPECT_THAT(loop.description, HasSubstr("DIFAT"));
}

// Corpus files cut at many lengths (a sound file cut short is never called
// corrupt) and with 1 to 4 bytes changed at seeded random places: in the
// header, the first FAT and directory sectors, or anywhere; a mini FAT that
// loops or points past the mini stream.
TEST(CorpusDamageTest, CutOrChangedAnywhere) {
    if (CorpusDir().empty()) {
        GTEST_SKIP() << "the .xls corpus is not there";
    }
    const Bytes mini = ReadBytes(CorpusDir() / "rbspreadsheet__test_missing_format.xls");
    const std::size_t miniFat = SectorAt(mini, xls::Le32(&mini[60]));
    EXPECT_THAT(Read(Patched(mini, miniFat + 4, 0), "loop").description, HasSubstr("循環"));
    EXPECT_THAT(Read(Patched(mini, miniFat, 5000), "out").description, HasSubstr("壊れています"));
    for (const char* name :
         {"poi__12561-1.xls", "rbspreadsheet__test_missing_format.xls", "libxls__types.xls"}) {
        SCOPED_TRACE(name);
        const Bytes original = ReadBytes(CorpusDir() / name);
        const std::size_t size = original.size();
        ASSERT_TRUE(Read(original, "original").read);
        for (std::size_t n = 8; n < size; n += n < 1100 || n + 600 > size ? 7 : size / 100) {
            const Outcome out = Read(Cut(original, n), "cut at " + std::to_string(n));
            EXPECT_TRUE(out.read ||
                        (out.number == kFormat &&
                         out.description.find("途中で切れています") != std::string::npos))
                << "cut at " << n << ": " << out.description;
        }
        std::mt19937 random(20240601u);
        const std::size_t regions[] = {0, FatEntry(original, 0), DirField(original, 0, 0)};
        for (int run = 0; run < 500 && !HasFailure(); ++run) {
            Bytes changed = original;
            std::string what = "run " + std::to_string(run) + ":";
            for (int i = 1 + static_cast<int>(random() % 4); i > 0; --i) {
                const std::size_t region = random() % 4;
                const std::size_t at = region < 3
                                           ? std::min(size - 1, regions[region] + random() % 512)
                                           : random() % size;
                changed[at] = static_cast<std::uint8_t>(random() % 3 == 0 ? 0xFF : random());
                what += " [" + std::to_string(at) + "]=" + std::to_string(changed[at]);
            }
            const Outcome out = Read(changed, what);
            EXPECT_TRUE(out.read || out.number == kFormat || out.number == ErrorNumber::Encrypted)
                << what;
        }
    }
}

} // namespace
} // namespace tomorine
