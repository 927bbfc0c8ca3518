#include "biff_stream_builder.h"
#include "largest_allocation.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/biff_records.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>

namespace tomorine {
namespace {

using test::Bytes;
using test::Concat;
using test::GetU32;
using test::SetU32;
using ::testing::HasSubstr;

// No single allocation beyond what the input's size accounts for, besides
// the row table of one full sheet (65,536 rows, which the model may double).
std::size_t AllocationBound(std::size_t inputSize) {
    return (std::size_t{4} << 20) + 16 * inputSize;
}

struct Outcome {
    bool read = false;
    int number = 0;
    std::string description;
    std::size_t largestAllocation = 0;
};

// Any exception other than a WorkbookError fails the test that called this.
Outcome Read(const Bytes& bytes) {
    Outcome out;
    const test::LargestAllocation largest;
    try {
        ReadXlsBytes(bytes, "/x/hostile.xls");
        out.read = true;
    } catch (const WorkbookError& e) {
        out.number = e.number();
        out.description = e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "not a WorkbookError: " << e.what();
    }
    out.largestAllocation = largest.bytes();
    return out;
}

// --- inputs built in memory ---

// A workbook stream of about 13 KB (regular sectors) or 700 bytes (mini
// stream): sectors 0.. of the built file hold its stream.
Bytes SampleStream(int rows) {
    test::TestSheet sheet{u"Sheet1", {}, 0};
    for (std::uint16_t r = 0; r < rows; ++r) {
        sheet.records.push_back(test::NumberCell(r, 0, r));
        sheet.records.push_back(test::LabelSstCell(r, 1, 0));
    }
    return test::WorkbookStream({test::SstRecords(1, {test::UnicodeString(u"url")})}, {sheet});
}

Bytes BigFile() {
    return test::XlsFile(SampleStream(400));
}

Bytes SmallFile() {
    return test::XlsFile(SampleStream(20));
}

Bytes Patched(Bytes file, std::size_t offset, std::uint32_t value) {
    SetU32(file, offset, value);
    return file;
}

Bytes WithFatEntry(std::uint32_t sector, std::uint32_t next) {
    Bytes file = BigFile();
    return Patched(file, test::FatEntryOffset(file, sector), next);
}

Bytes WithDirectoryField(std::uint32_t entry, std::size_t field, std::uint32_t value) {
    Bytes file = BigFile();
    return Patched(file, test::DirectoryEntryOffset(file, entry) + field, value);
}

Bytes WithMiniFatEntry(std::uint32_t sector, std::uint32_t next) {
    Bytes file = SmallFile();
    return Patched(file, test::SectorOffset(file, GetU32(file, 60)) + 4 * sector, next);
}

// A 16 MB file whose workbook sectors are described by FAT sectors that
// only the second DIFAT sector lists.
Bytes DifatFile() {
    return test::BuildCompoundFile(
        {{u"Filler", Bytes(16'000'000, 0)}, {u"Workbook", SampleStream(400)}});
}

Bytes WithDifatLoop() {
    Bytes file = DifatFile();
    const std::uint32_t first = GetU32(file, 68);
    const std::size_t sectorSize = 512;
    return Patched(file, test::SectorOffset(file, first) + sectorSize - 4, first);
}

Bytes WithoutDifat() {
    Bytes file = DifatFile();
    return Patched(file, 68, 0x7FFFFFF0);
}

Bytes Cut(Bytes file, std::size_t size) {
    file.resize(size);
    return file;
}

Bytes Xls(const std::vector<Bytes>& globals, const std::vector<test::TestSheet>& sheets) {
    return test::XlsFile(test::WorkbookStream(globals, sheets));
}

Bytes OneSheet(std::vector<Bytes> records) {
    return Xls({}, {{u"Sheet1", std::move(records), 0}});
}

Bytes Bof(std::uint16_t version, std::uint16_t type) {
    Bytes body;
    test::PutU16(body, version);
    test::PutU16(body, type);
    body.resize(16, 0);
    return test::Record(biff::Bof, body);
}

Bytes StreamFile(const Bytes& stream) {
    return test::XlsFile(stream);
}

// Where the first BOUNDSHEET record starts when there are no other globals:
// after the BOF (20 bytes) and the XF (24).
constexpr std::size_t kFirstBoundSheet = 44;

// Sheets "SA", "SB" ... with their BOUNDSHEET offsets replaced.
Bytes WithSheetOffsets(const std::vector<std::uint32_t>& offsets) {
    std::vector<test::TestSheet> sheets;
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        sheets.push_back({u"S" + std::u16string(1, static_cast<char16_t>(u'A' + i)),
                          {test::NumberCell(0, 0, 1)},
                          0});
    }
    Bytes stream = test::WorkbookStream({}, sheets);
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const std::size_t record = kFirstBoundSheet + i * (4 + 6 + 4); // names of 2 characters
        SetU32(stream, record + 4, offsets[i]);
    }
    return test::XlsFile(stream);
}

Bytes CellsFarApart() {
    std::vector<Bytes> records;
    for (std::uint32_t r = 0; r < 40000; ++r) {
        records.push_back(test::RkCell(static_cast<std::uint16_t>(r), 255, 2));
    }
    return OneSheet(records);
}

Bytes TooManySheets() {
    std::vector<test::TestSheet> sheets;
    for (int i = 0; i < 10001; ++i) {
        const std::string name = "S" + std::to_string(i);
        sheets.push_back({std::u16string(name.begin(), name.end()), {}, 0});
    }
    return Xls({}, sheets);
}

std::array<std::uint8_t, 8> Special(std::uint8_t kind) {
    return {kind, 0, 0, 0, 0, 0, 0xFF, 0xFF};
}

constexpr int kReads = 0;
constexpr int kFormat = ErrorNumber::NotInExpectedFormat;

struct BrokenCase {
    const char* name;
    std::function<Bytes()> make;
    int number; // kReads: the file must read
    const char* phrase;
};

std::vector<BrokenCase> BrokenCases() {
    return {
        {"NotACompoundFile", [] { return Bytes(600, 'x'); }, kFormat, "ブックではありません"},
        {"ZipFile", [] { return Bytes{'P', 'K', 3, 4, 20, 0, 0, 0}; }, kFormat, ".xlsx"},
        {"Empty", [] { return Bytes{}; }, kFormat, "ブックではありません"},
        {"ShorterThanHeader", [] { return Cut(BigFile(), 300); }, kFormat, "途中で切れています"},
        {"CutInHalf", [] { return Cut(BigFile(), BigFile().size() / 2); }, kFormat,
         "途中で切れています"},
        {"HugeSectorShift", [] { return Patched(BigFile(), 30, 0x0006001E); }, kFormat,
         "壊れています"},
        {"FatLoop", [] { return WithFatEntry(2, 1); }, kFormat, "循環"},
        {"FatSelfLoop", [] { return WithFatEntry(0, 0); }, kFormat, "循環"},
        {"SectorFarOutOfRange", [] { return WithFatEntry(1, 1'000'000); }, kFormat, "壊れています"},
        {"SectorJustPastTheEnd", [] { return WithFatEntry(1, 100); }, kFormat,
         "途中で切れています"},
        {"ChainShorterThanStream", [] { return WithFatEntry(1, 0xFFFFFFFE); }, kFormat, "短い"},
        {"DirectoryLoop", [] { return WithDirectoryField(1, 72, 1); }, kFormat, "循環"},
        {"DirectoryBackToRoot", [] { return WithDirectoryField(1, 72, 0); }, kFormat, "循環"},
        {"DirectoryChildOutOfRange", [] { return WithDirectoryField(0, 76, 5000); }, kFormat,
         "壊れています"},
        {"NoRootEntry", [] { return WithDirectoryField(0, 64, 0x00000116); }, kFormat, "ルート"},
        {"DirectorySectorLoop",
         [] {
             Bytes file = BigFile();
             const std::uint32_t dir = GetU32(file, 48);
             return Patched(file, test::FatEntryOffset(file, dir), dir);
         },
         kFormat, "循環"},
        {"StreamSizeBeyondFile", [] { return WithDirectoryField(1, 120, 60000); }, kFormat,
         "途中で切れています"},
        {"StreamSizeFarBeyondFile", [] { return WithDirectoryField(1, 120, 0x7FFFFFFF); }, kFormat,
         "壊れています"},
        {"MiniFatLoop", [] { return WithMiniFatEntry(1, 0); }, kFormat, "循環"},
        {"MiniSectorOutOfMiniStream", [] { return WithMiniFatEntry(0, 5000); }, kFormat,
         "壊れています"},
        {"DifatLoop", WithDifatLoop, kFormat, "DIFAT"},
        {"DifatPastTheEnd", WithoutDifat, kFormat, "途中で切れています"},
        {"NoWorkbookStream",
         [] {
             return test::BuildCompoundFile({{u"Other", SampleStream(20)}});
         },
         kFormat, "Book ストリーム"},
        {"EmptyWorkbookStream", [] { return StreamFile({}); }, kFormat, "空"},
        {"NoBof", [] { return StreamFile(test::NumberCell(0, 0, 1)); }, kFormat, "BOF"},
        {"Biff5", [] { return StreamFile(Bof(0x0500, 0x0005)); }, kFormat, "Excel 97 より前"},
        {"BareBiff4File",
         [] {
             return test::Record(biff::Bof4, {0, 0, 0x10, 0, 0, 0});
         },
         kFormat, "Excel 4.0"},
        {"Workspace", [] { return StreamFile(Bof(0x0600, 0x0100)); }, kFormat, "ワークスペース"},
        {"Encrypted",
         [] {
             return Xls({test::Record(biff::FilePass, {1, 0, 1, 0})}, {});
         },
         ErrorNumber::Encrypted, "暗号化されています"},
        {"RecordPastStreamEnd",
         [] {
             return StreamFile(Concat({Bof(0x0600, 5), {0x42, 0, 0xF4, 0x01, 1, 2, 3}}));
         },
         kFormat, "途中で切れています"},
        {"GlobalsWithoutEof", [] { return StreamFile(Bof(0x0600, 5)); }, kFormat,
         "途中で切れています"},
        {"SheetOffsetOutsideStream", [] { return WithSheetOffsets({1'000'000}); }, kFormat,
         "ストリームの外"},
        {"SheetOffsetInsideGlobals", [] { return WithSheetOffsets({0}); }, kFormat,
         "ストリームの外"},
        {"TwoSheetsAtOneOffset",
         [] {
             return WithSheetOffsets({90, 90});
         },
         kFormat, "同じ位置"},
        {"SheetOffsetNotAtBof", [] { return WithSheetOffsets({91}); }, kFormat, "壊れています"},
        {"SheetsOverlap",
         [] {
             // The first sheet's EOF is gone and one follows the second sheet:
             // the first sheet runs on through the second.
             Bytes stream = test::WorkbookStream({}, {{u"A", {}, 0}, {u"B", {}, 0}});
             stream[stream.size() - 24 - 4] = 0x42; // EOF becomes CODEPAGE with no body
             return test::XlsFile(Concat({stream, test::Record(biff::Eof, {})}));
         },
         kFormat, "重なって"},
        {"SheetWithoutEof",
         [] {
             Bytes stream = test::WorkbookStream({}, {{u"A", {test::NumberCell(0, 0, 1)}, 0}});
             stream.resize(stream.size() - 4);
             return test::XlsFile(stream);
         },
         kFormat, "途中で切れています"},
        {"WorksheetBofOfAChart",
         [] {
             Bytes stream = test::WorkbookStream({}, {{u"A", {}, 2}});
             stream[kFirstBoundSheet + 4 + 5] = 0; // the BOUNDSHEET says worksheet
             return test::XlsFile(stream);
         },
         kFormat, "BOF の種類"},
        {"LabelSstBeyondSst", [] { return OneSheet({test::LabelSstCell(0, 0, 3)}); }, kFormat,
         "共有文字列 3 番"},
        {"SstStringCutShort",
         [] {
             return Xls({test::SstRecords(1, {{10, 0, 0, 'a', 'b'}})}, {});
         },
         kFormat, "途中で終わっています"},
        {"SstCountOf2To31",
         [] {
             return Xls({test::SstRecords(0x80000000u, {test::UnicodeString(u"a")})},
                        {{u"S", {test::LabelSstCell(0, 0, 0)}, 0}});
         },
         kReads, ""},
        {"SstPhoneticSizeOf4Gb",
         [] {
             return Xls({test::SstRecords(1, {{1, 0, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}})}, {});
         },
         kFormat, "途中で終わっています"},
        {"MulRkRangeBeyondRecord",
         [] {
             return OneSheet({test::Record(biff::MulRk, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 9, 0})});
         },
         kFormat, "MULRK"},
        {"ColumnBeyond256", [] { return OneSheet({test::NumberCell(0, 256, 1)}); }, kFormat, "256"},
        {"ShortNumberRecord", [] { return OneSheet({test::Record(biff::Number, Bytes(10, 0))}); },
         kFormat, "NUMBER"},
        {"FormulaTextWithoutString",
         [] {
             return OneSheet({test::FormulaCell(0, 0, Special(0)), test::NumberCell(0, 1, 1)});
         },
         kFormat, "STRING"},
        {"FormulaTextAtStreamEnd",
         [] {
             Bytes stream =
                 test::WorkbookStream({}, {{u"A", {test::FormulaCell(0, 0, Special(0))}, 0}});
             stream.resize(stream.size() - 4);
             return test::XlsFile(stream);
         },
         kFormat, "STRING"},
        {"UnknownFormulaResult", [] { return OneSheet({test::FormulaCell(0, 0, Special(7))}); },
         kFormat, "数式の結果"},
        {"InvalidSheetName",
         [] {
             return Xls({}, {{u"a:b", {}, 0}});
         },
         kFormat, "シート名"},
        {"DuplicateSheetNames",
         [] {
             return Xls({}, {{u"Data", {}, 0}, {u"DATA", {}, 0}});
         },
         kFormat, "重複"},
        {"CellsFarApart", CellsFarApart, kFormat, "大きすぎます"},
        {"TooManySheets", TooManySheets, kFormat, "10000 枚まで"},
    };
}

void PrintTo(const BrokenCase& c, std::ostream* os) {
    *os << c.name;
}

class BrokenInputTest : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenInputTest, EndsInTheExpectedOutcome) {
    const Bytes input = GetParam().make();
    const Outcome out = Read(input);
    if (GetParam().number == kReads) {
        EXPECT_TRUE(out.read) << out.description;
    } else {
        EXPECT_FALSE(out.read);
        EXPECT_EQ(out.number, GetParam().number) << out.description;
        EXPECT_THAT(out.description, HasSubstr(GetParam().phrase));
        EXPECT_THAT(out.description, HasSubstr("「/x/hostile.xls」"));
    }
    EXPECT_LE(out.largestAllocation, AllocationBound(input.size()));
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenInputTest, ::testing::ValuesIn(BrokenCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// --- corpus files cut short and with bytes changed ---

const char* const kSweepFiles[] = {
    "poi__12561-1.xls",                       // SST with phonetic data over CONTINUE
    "rbspreadsheet__test_missing_format.xls", // mini stream
    "parseexcel__long_string8.xls",           // long strings changing width
    "libxls__types.xls",                      // formulas, booleans, errors
    "sheetjs__phonetic_text.xls",
    "calamine__sst_continue.xls",
    "poi__StringFormulas.xls",
    "edr__Test_git_issue_286_SST.xls",
};

class CorpusDamageTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (test::CorpusDir().empty()) {
            GTEST_SKIP() << "the .xls corpus is not there";
        }
        original_ = test::ReadBytes(test::CorpusDir() / GetParam());
        ASSERT_TRUE(Read(original_).read);
    }

    void expectValueOrError(const Bytes& input, const std::string& what) {
        const Outcome out = Read(input);
        EXPECT_TRUE(out.read || out.number == ErrorNumber::NotInExpectedFormat ||
                    out.number == ErrorNumber::Encrypted)
            << what;
        EXPECT_LE(out.largestAllocation, AllocationBound(input.size())) << what;
    }

    Bytes original_;
};

TEST_P(CorpusDamageTest, CutAnywhere) {
    const std::size_t size = original_.size();
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n < std::min<std::size_t>(size, 1100); n += 3) {
        lengths.push_back(n); // through the header and first sectors
    }
    for (std::size_t k = 0; k < 300; ++k) {
        lengths.push_back(size * k / 300);
    }
    for (std::size_t n = size - std::min<std::size_t>(size, 600); n < size; ++n) {
        lengths.push_back(n); // through the last sectors
    }
    for (std::size_t n : lengths) {
        Bytes cut(original_.begin(), original_.begin() + static_cast<std::ptrdiff_t>(n));
        const Outcome out = Read(cut);
        EXPECT_LE(out.largestAllocation, AllocationBound(n)) << "cut at " << n;
        // A sound file cut short is never called corrupt.
        if (!out.read && n >= 8) {
            EXPECT_EQ(out.number, ErrorNumber::NotInExpectedFormat) << "cut at " << n;
            EXPECT_THAT(out.description, HasSubstr("途中で切れています")) << "cut at " << n;
        }
    }
}

// Changes 1 to 4 bytes at a time: in the header, in the first FAT and
// directory sectors, or anywhere. The generator is seeded, so every run sees
// the same inputs.
TEST_P(CorpusDamageTest, BytesChangedAnywhere) {
    std::mt19937 random(20240601u + static_cast<unsigned>(std::string(GetParam()).size()));
    const std::size_t size = original_.size();
    const std::size_t fat = test::FatEntryOffset(original_, 0);
    const std::size_t dir = test::DirectoryEntryOffset(original_, 0);
    for (int run = 0; run < 1500; ++run) {
        Bytes changed = original_;
        const int count = 1 + static_cast<int>(random() % 4);
        std::string what = "run " + std::to_string(run) + ":";
        for (int i = 0; i < count; ++i) {
            std::size_t at = 0;
            switch (random() % 4) {
            case 0:
                at = random() % 512;
                break;
            case 1:
                at = std::min(size - 1, fat + random() % 512);
                break;
            case 2:
                at = std::min(size - 1, dir + random() % 512);
                break;
            default:
                at = random() % size;
                break;
            }
            const auto value = static_cast<std::uint8_t>(random() % 3 == 0 ? 0xFF : random());
            changed[at] = value;
            what += " [" + std::to_string(at) + "]=" + std::to_string(value);
        }
        expectValueOrError(changed, what);
        if (HasFailure()) {
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CorpusDamageTest, ::testing::ValuesIn(kSweepFiles), [](const auto& info) {
        std::string name = info.param;
        std::replace_if(
            name.begin(), name.end(),
            [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

} // namespace
} // namespace tomorine
