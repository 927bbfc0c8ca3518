// Broken inputs end in a value or a WorkbookError: no crash, hang or allocation out of measure.
#include "biff_stream_builder.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_file.h"
#include "store/xls/xls_source_reader.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <unistd.h>

namespace tomorine {
namespace test { // the largest request to operator new while tracked (largest_allocation.cpp)
extern bool TrackAllocations;
extern std::size_t LargestAllocation;
} // namespace test
namespace {

using namespace test;
using ::testing::AnyOf;
using ::testing::HasSubstr;
using ::testing::StrEq;
using xls::Le32;

// A file another program cuts to its first `cut` bytes as the first block of its stream is read.
struct CutWhileRead : xls::DescriptorSource {
    using DescriptorSource::DescriptorSource;
    std::size_t copy(std::uint64_t offset, std::span<std::uint8_t> out) override {
        if (cut > 0) {
            EXPECT_EQ(::truncate(path.c_str(), static_cast<off_t>(std::exchange(cut, 0))), 0);
        }
        return DescriptorSource::copy(offset, out);
    }
    std::filesystem::path path;
    std::size_t cut = 0; // none
};

// The error `bytes` give from a file page by page, cut to `cut` bytes once its size was taken
// (`atOpen`) or later (CutWhileRead).
WorkbookError ReadFile(const Bytes& bytes, std::size_t cut = 0, bool atOpen = false) {
    static const TempDir dir;
    std::filesystem::remove(dir / "hostile.xls"); // not cut short: that would flush it first
    WriteBytes(dir / "hostile.xls", atOpen ? Bytes(bytes.begin(), bytes.begin() + cut) : bytes);
    const ReadOnlyFile fd = OpenFileForReading(dir / "hostile.xls");
    CutWhileRead file(fd.get(), bytes.size(), "/x/hostile.xls");
    file.path = dir / "hostile.xls";
    file.cut = atOpen ? 0 : cut;
    try {
        ReadXlsSource(file, "/x/hostile.xls", 4096);
    } catch (const WorkbookError& e) {
        return e;
    }
    return WorkbookError(WorkbookFault::FileAccess, "");
}

// The error the input gives, no text when it reads, the same from a file; fails the test on any
// other exception and any allocation beyond 16 times the input and a full sheet's row table.
WorkbookError Read(const Bytes& bytes, const std::string& what) {
    WorkbookError out(WorkbookFault::FileAccess, "");
    LargestAllocation = 0, TrackAllocations = true;
    try {
        ReadXlsBytes(bytes, "/x/hostile.xls");
    } catch (const WorkbookError& e) {
        out = e;
    } catch (const std::exception& e) {
        ADD_FAILURE() << what << ": not a WorkbookError: " << e.what();
    }
    TrackAllocations = false;
    EXPECT_LE(LargestAllocation, (std::size_t{4} << 20) + 16 * bytes.size()) << what;
    EXPECT_STREQ(ReadFile(bytes).what(), out.what()) << what;
    return out;
}

Bytes Patched(Bytes file, std::size_t at, std::uint32_t value) {
    std::copy_n(U32(value).begin(), 4, file.begin() + static_cast<std::ptrdiff_t>(at));
    return file;
}

std::size_t SectorAt(const Bytes& file, std::uint32_t n) {
    return (std::size_t{n} + 1) << file[30];
}

Bytes OneSheet(std::vector<Bytes> records, std::vector<Bytes> globals = {}) {
    return XlsFile(WorkbookStream(globals, {std::move(records)}));
}

struct BrokenCase {
    const char* name;
    Bytes input;
    const char* phrase; // of a NotInExpectedFormat error; nullptr: the file must read
};

std::vector<BrokenCase> BrokenCases() {
    const auto padded = [](std::size_t size) { // the stream from sector 0, its FAT after it
        Bytes stream = WorkbookStream({}, {{}});
        stream.resize(size);
        return XlsFile(stream);
    };
    const Bytes big = padded(13000), difat = padded(16'000'000); // 16 MB: two DIFAT sectors
    const std::uint32_t firstDifat = Le32(&difat[68]);           // to name itself as the next
    const std::size_t fat = SectorAt(big, Le32(&big[76])), dir = SectorAt(big, Le32(&big[48]));
    std::vector<Bytes> farApart; // column 256 of 40,000 rows
    for (std::uint16_t r = 0; r < 40000; ++r) {
        farApart.push_back(CellRecord(biff::Rk, r, 255, U32(2)));
    }
    Bytes globals = WorkbookStream({}, {});
    globals.resize(kFirstBoundSheet); // no EOF
    const Bytes two = WorkbookStream({}, {{}, {}});
    // The first sheet's EOF becomes a CODEPAGE with no body: it runs on through the second.
    Bytes overlap = Concat({two, Record(biff::Eof, {})});
    overlap[two.size() - 28] = 0x42;
    return {
        {"NotACompoundFile", Bytes(600, 'x'), "ブックではありません"},
        {"HugeSectorShift", Patched(big, 30, 0x0006001E), "壊れています"},
        {"FatLoop", Patched(big, fat + 8, 1), "循環"},
        {"SectorFarOutOfRange", Patched(big, fat + 4, 1'000'000), "壊れています"},
        {"ChainShorterThanStream", Patched(big, fat + 4, 0xFFFFFFFE), "短い"},
        {"DirectoryLoop", Patched(big, dir + 128 + 72, 1), "循環"},
        {"NoWorkbookStream", Patched(big, dir + 128, 'X'), "Book ストリーム"},
        {"DifatLoop", Patched(difat, SectorAt(difat, firstDifat) + 508, firstDifat), "DIFAT"},
        // Bare streams end where their last record ends.
        {"RecordPastStreamEnd", Concat({globals, {0x42, 0, 0xF4, 0x01, 1, 2, 3}}),
         "途中で切れています"},
        {"GlobalsWithoutEof", globals, "途中で切れています"},
        {"SheetOffsetOutsideStream", XlsFile(Patched(two, kFirstBoundSheet + 4, 1'000'000)),
         "ストリームの外"},
        {"SheetsOverlap", XlsFile(overlap), "重なって"},
        {"LabelSstBeyondSst", OneSheet({CellRecord(biff::LabelSst, 0, 0, U32(3))}),
         "共有文字列 3 番"},
        {"SstCountOf2To31",
         OneSheet({CellRecord(biff::LabelSst, 0, 0, U32(0))},
                  {SstRecords(0x80000000u, {{1, 0, 0, 'a'}})}),
         nullptr},
        {"SstPhoneticSizeOf4Gb",
         OneSheet({}, {SstRecords(1, {{1, 0, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}})}),
         "途中で終わっています"},
        {"MulRkRangeBeyondRecord",
         OneSheet({Record(biff::MulRk, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 9, 0})}), "MULRK"},
        {"ColumnBeyond256", OneSheet({NumberCell(0, 256, 1)}), "256"},
        {"TextFormulaWithAResultOver5Pages", // the FORMULA's body is read after the STRING
         OneSheet({CellRecord(biff::Formula, 0, 0, Concat({Bytes(6), {0xFF, 0xFF}, Bytes(8)})),
                   Record(biff::String, Concat({U16(20000), {0}, Bytes(20000, 'a')}))}),
         nullptr},
        {"CellsInTheLastRows", OneSheet({NumberCell(65534, 0, 1), NumberCell(65535, 0, 2)}),
         nullptr},
        {"CellsFarApart", OneSheet(farApart), "大きすぎます"},
        {"TooManySheets", XlsFile(WorkbookStream({}, std::vector<std::vector<Bytes>>(10001))),
         "10000 枚まで"},
    };
}

class BrokenInputTest : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenInputTest, EndsInTheExpectedOutcome) {
    const WorkbookError out = Read(GetParam().input, GetParam().name);
    if (GetParam().phrase == nullptr) {
        EXPECT_STREQ(out.what(), "");
    } else {
        EXPECT_EQ(out.fault(), WorkbookFault::NotAWorkbook) << out.what();
        EXPECT_THAT(out.what(), HasSubstr(GetParam().phrase));
        EXPECT_THAT(out.what(), HasSubstr("「/x/hostile.xls」"));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenInputTest, ::testing::ValuesIn(BrokenCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A mini FAT that loops or points past the mini stream; corpus files cut short (never called
// corrupt; cut while read: the size taken at the open too large). Changed bytes: the fuzz corpus.
TEST(CorpusDamageTest, CutAnywhere) {
    if (CorpusDir().empty()) {
        GTEST_SKIP() << "the .xls corpus is not there";
    }
    const Bytes mini = ReadBytes(CorpusDir() / "rbspreadsheet__test_missing_format.xls");
    const std::size_t miniFat = SectorAt(mini, Le32(&mini[60]));
    EXPECT_THAT(Read(Patched(mini, miniFat + 4, 0), "loop").what(), HasSubstr("循環"));
    EXPECT_THAT(Read(Patched(mini, miniFat, 5000), "out").what(), HasSubstr("壊れています"));
    for (const char* name :
         {"poi__12561-1.xls", "rbspreadsheet__test_missing_format.xls", "libxls__types.xls"}) {
        SCOPED_TRACE(name);
        const Bytes original = ReadBytes(CorpusDir() / name);
        const std::size_t size = original.size();
        ASSERT_STREQ(Read(original, "original").what(), "");
        for (std::size_t n = 8; n < size; n += n < 1100 || n + 600 > size ? 7 : size / 100) {
            const WorkbookError out = Read(Bytes(original.begin(), original.begin() + n), "cut");
            EXPECT_THAT(out.what(), AnyOf(StrEq(""), HasSubstr("途中で切れています"))) << n;
            for (bool atOpen : {true, false}) {
                EXPECT_THAT(ReadFile(original, n, atOpen).what(),
                            AnyOf(StrEq(""), HasSubstr("読み込み中になくなりました")))
                    << n;
            }
        }
    }
}

} // namespace
} // namespace tomorine
