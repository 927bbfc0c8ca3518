// Reading, value by value against xlrd: every file of the shared corpus (as
// its .json says, or as listed here: refused with a clear reason, or read as
// a lenient xlrd reads it) and streams built byte by byte for what the corpus
// does not hold: SST splits of every kind, an embedded chart, RK numbers of
// every form, a chart sheet. Files that cannot be opened give the error of
// their cause.
#include "biff_stream_builder.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/biff_records.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace tomorine {
namespace {

using namespace test;
using ::testing::HasSubstr;

constexpr int kFormat = ErrorNumber::NotInExpectedFormat;

// Error number and phrase; 0 where xlrd refuses the file but its data is intact.
const std::map<std::string, std::pair<int, const char*>> kSpecialFiles = {
    {"calamine__too_small.xls", {kFormat, "Excel 97-2003 ブックではありません"}},
    {"derived__12561-1_truncated20000.xls", {kFormat, "途中で切れています"}},
    // Its directory chain runs past the end of the file.
    {"edr__Test_Issue_12556_corrupt.xls", {kFormat, "途中で切れています"}},
    {"parseexcel__encrypted.xls", {ErrorNumber::Encrypted, "暗号化されています"}},
    // Excel 95 (BIFF7): xlrd reads it, we refuse it with a clear reason.
    {"parseexcel__Test95J.xls", {kFormat, "Excel 97 より前の形式"}},
    {"edr__Test_git_issue624.xls", {0, ""}}, // a chain one sector past the stream
    {"edr__Test_git_issue_477_sst_wrong_count.xls", {0, ""}},
    {"xlrd__corrupted_error.xls", {0, ""}},
};

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    if (!CorpusDir().empty()) {
        for (const auto& entry : std::filesystem::directory_iterator(CorpusDir())) {
            if (entry.path().extension() == ".xls") {
                files.push_back(entry.path().filename().string());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files.empty() ? std::vector<std::string>{""} : files; // one test that skips
}

// The error a file gives: its number, the file named and the phrase.
void ExpectError(const std::filesystem::path& path, int number, const std::string& phrase) {
    try {
        ReadXlsFile(path);
        ADD_FAILURE() << path << " was read";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), number) << e.what();
        EXPECT_THAT(e.what(), HasSubstr("「" + path.string() + "」"));
        EXPECT_THAT(e.what(), HasSubstr(phrase));
    }
}

class CorpusTest : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusTest, ReadsWhatXlrdReadsOrRefusesClearly) {
    if (GetParam().empty()) {
        GTEST_SKIP() << "the .xls corpus is not there";
    }
    const std::filesystem::path file = CorpusDir() / GetParam();
    const auto special = kSpecialFiles.find(GetParam());
    if (special == kSpecialFiles.end()) {
        std::ifstream json(file.string() + ".json");
        ASSERT_TRUE(json) << "neither xlrd's values nor an expected outcome for this file";
        EXPECT_TRUE(SameAsXlrd(ReadXlsFile(file), nlohmann::json::parse(json)));
        return;
    }
    const auto [number, phrase] = special->second;
    if (number != 0) {
        ExpectError(file, number, phrase);
    } else {
        EXPECT_TRUE(SameAsXlrd(ReadXlsFile(file), XlrdValues(file, XlrdMode::Lenient)));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, CorpusTest, ::testing::ValuesIn(CorpusFiles()),
                         [](const auto& info) {
                             std::string name = info.param.empty() ? "missing" : info.param;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](unsigned char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

TEST(ReadXlsFileTest, MissingOrNotAWorkbook) {
    TempDir dir;
    WriteBytes(dir / "a.xlsx", {'P', 'K', 3, 4, 0, 0, 0, 0});
    ExpectError(dir / "a.xlsx", ErrorNumber::NotInExpectedFormat,
                "は Excel 97-2003 ブックではありません（ZIP 形式です。Excel 2007 以降の .xlsx");
    ExpectError(dir / "none.xls", ErrorNumber::FileNotFound, "");
    ExpectError(dir / "no" / "a.xls", ErrorNumber::PathNotFound, "");
    ExpectError(dir.path(), ErrorNumber::FileAccess, "");
}

TEST(ReadXlsFileTest, UnreadableFileIsPermissionDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any file; test_xls_reader_unprivileged runs this";
    }
    TempDir dir;
    WriteBytes(dir / "a.xls", {1, 2, 3});
    ::chmod((dir / "a.xls").c_str(), 0);
    ExpectError(dir / "a.xls", ErrorNumber::PermissionDenied, "");
}

// Pieces of SST bodies: a string's length and flags, then its characters.
Bytes Head(std::uint16_t length, std::uint8_t flags) {
    return Concat({U16(length), {flags}});
}

Bytes Narrow(std::string_view chars) {
    return Bytes(chars.begin(), chars.end());
}

Bytes Wide(std::u16string_view chars) {
    Bytes b;
    for (char16_t c : chars) {
        b = Concat({b, U16(c)});
    }
    return b;
}

constexpr std::uint8_t kWide = 0x01;
constexpr std::uint8_t kPhonetic = 0x04;
constexpr std::uint8_t kRich = 0x08;

struct SstCase {
    const char* name;
    std::uint32_t count;
    bool xlrdReadsIt; // xlrd follows only some of the splits
    std::vector<std::u16string> strings;
    std::vector<Bytes> pieces; // the SST body after its counts, then each CONTINUE body
};

SstCase Split(const char* name, std::uint32_t count, bool xlrdReadsIt,
              std::vector<std::u16string> strings, std::vector<Bytes> pieces) {
    return {name, count, xlrdReadsIt, std::move(strings), std::move(pieces)};
}

std::vector<SstCase> Cases() {
    const Bytes ee4(4, 0xEE);
    return {
        Split("WholeStrings", 2, true, {u"abc", u"日本"},
              {Concat({Head(3, 0), Narrow("abc"), Head(2, kWide), Wide(u"日本")})}),
        Split("CharactersGoOnNarrowToWide", 1, true, {u"ab日本"},
              {Concat({Head(4, 0), Narrow("ab")}), Concat({{1}, Wide(u"日本")})}),
        Split("CharactersGoOnWideToNarrow", 1, true, {u"日本ab"},
              {Concat({Head(4, kWide), Wide(u"日本")}), Concat({{0}, Narrow("ab")})}),
        Split("ContinueStartsAtAStringHeader", 2, true, {u"ab", u"cd"},
              {Concat({Head(2, 0), Narrow("ab")}), Concat({Head(2, 0), Narrow("cd")})}),
        Split("SplitBetweenHeaderAndCharacters", 1, true, {u"xyz"},
              {Head(3, 0), Concat({{kWide}, Wide(u"xyz")})}),
        Split("SplitInsideTheLength", 1, false, {u"xyz"}, {{3}, Concat({{0, 0}, Narrow("xyz")})}),
        Split("RichTextRunsGoOn", 2, true, {u"ab", u"c"},
              {Concat({Head(2, kRich), U16(2), Narrow("ab"), U32(0x10000)}),
               Concat({U32(0x20001), Head(1, 0), Narrow("c")})}),
        Split("RichTextRunSplitInside", 2, false, {u"ab", u"c"},
              {Concat({Head(2, kRich), U16(2), Narrow("ab"), U32(0x10000), U16(1)}),
               Concat({U16(2), Head(1, 0), Narrow("c")})}),
        Split("PhoneticDataSpansThreeRecords", 2, false, {u"ab", u"c"},
              {Concat({Head(2, kPhonetic), U32(300), Narrow("ab"), Bytes(100, 0xEE)}),
               Bytes(150, 0xEE), Concat({Bytes(50, 0xEE), Head(1, 0), Narrow("c")})}),
        Split("RichAndPhoneticTogether", 2, true, {u"ふり", u"c"},
              {Concat({Head(2, kRich | kPhonetic | kWide), U16(1), U32(4), Wide(u"ふり"), U32(0),
                       ee4, Head(1, 0), Narrow("c")})}),
        Split("EmptyStringHasFlags", 2, true, {u"", u"x"},
              {Concat({Head(0, 0), Head(1, 0), Narrow("x")})}),
        Split("CountSmallerThanStringsPresent", 1, true, {u"a"},
              {Concat({Head(1, 0), Narrow("a"), Head(1, 0), Narrow("b")})}),
        Split("HalfCharacterBeforeContinueIsDropped", 1, true, {u"日本"},
              {Concat({Head(2, kWide), Wide(u"日"), {0x5C}}), Concat({{kWide}, Wide(u"本")})}),
        Split("EmptyContinueIsSkipped", 1, false, {u"ab"},
              {Concat({Head(2, 0), Narrow("a")}), {}, Concat({{0}, Narrow("b")})}),
    };
}

// One cell a string, in column A; where xlrd follows the split, it reads the
// same bytes too.
TEST(SharedStringsTest, ReadsTheStringsOfEverySplit) {
    for (const SstCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        TestSheet sheet{u"SST", {}, 0};
        nlohmann::json cells = nlohmann::json::array();
        for (std::uint16_t i = 0; i < c.strings.size(); ++i) {
            sheet.records.push_back(CellRecord(biff::LabelSst, i, 0, U32(i)));
            cells.push_back({i, 0, "text", ToUtf8(c.strings[i])});
        }
        const Bytes file = XlsFile(WorkbookStream({SstRecords(c.count, c.pieces)}, {sheet}));
        const Workbook book = ReadXlsBytes(file, "sst.xls");
        EXPECT_TRUE(SameAsXlrd(book, {{"sheets", {{{"name", "SST"}, {"cells", cells}}}}}));
        if (c.xlrdReadsIt) {
            TempDir dir;
            WriteBytes(dir / "sst.xls", file);
            EXPECT_TRUE(SameAsXlrd(book, XlrdValues(dir / "sst.xls")));
        }
    }
}

TEST(CellRecordsTest, ReadAsXlrdReadsThem) {
    // RK: integers and floats, each also divided by 100, in one MULRK.
    Bytes mulRk = Concat({U16(0), U16(0)});
    for (std::uint32_t rk :
         {123u << 2 | 2, 12345u << 2 | 3, 0x1FFFFFFFu << 2 | 2,
          static_cast<std::uint32_t>(-5) << 2 | 2, static_cast<std::uint32_t>(-1) << 2 | 3,
          0x3FF80000u, 0x3FF80001u, 0xC0000000u, 0u}) {
        mulRk = Concat({mulRk, U16(0), U32(rk)});
    }
    const std::vector<Bytes> records = {
        Record(biff::MulRk, Concat({mulRk, U16(8)})),
        CellRecord(biff::Label, 1, 0, UnicodeString(u"前")),
        Record(biff::Bof, {0, 6, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
        NumberCell(1, 1, 99),
        NumberCell(2, 0, 98),
        Record(biff::Eof, {}),
        CellRecord(biff::Label, 1, 2, UnicodeString(u"後")),
        NumberCell(65535, 255, -0.5),
    };
    const Bytes file = XlsFile(WorkbookStream(
        {}, {{u"Cells", records, 0}, {u"Chart1", {NumberCell(0, 0, 7)}, 2}, {u"Empty", {}, 0}}));
    TempDir dir;
    WriteBytes(dir / "cells.xls", file);
    const nlohmann::json xlrd = XlrdValues(dir / "cells.xls");
    ASSERT_EQ(xlrd["sheets"][0]["cells"].size(), 12u) << xlrd.dump();
    EXPECT_TRUE(SameAsXlrd(ReadXlsBytes(file, "cells.xls"), xlrd));
}

} // namespace
} // namespace tomorine
