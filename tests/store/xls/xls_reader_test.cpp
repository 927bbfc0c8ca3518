// Reading against xlrd: every corpus file (also page by page), SST splits built byte by byte.
#include "biff_stream_builder.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tomorine {
namespace {

using namespace test;

constexpr WorkbookFault kFormat = WorkbookFault::NotAWorkbook;

// Files without xlrd's .json: error number and phrase, or 0 where the data is intact.
const std::map<std::string, std::pair<std::optional<WorkbookFault>, const char*>> kSpecialFiles = {
    {"calamine__too_small.xls", {kFormat, "Excel 97-2003 ブックではありません"}},
    {"derived__12561-1_truncated20000.xls", {kFormat, "途中で切れています"}},
    {"edr__Test_Issue_12556_corrupt.xls", {kFormat, "途中で切れています"}}, // directory cut
    {"parseexcel__encrypted.xls", {WorkbookFault::Encrypted, "暗号化されています"}},
    {"parseexcel__Test95J.xls", {kFormat, "Excel 97 より前の形式"}}, // xlrd reads it
    {"edr__Test_git_issue624.xls", {std::nullopt, ""}}, // a chain one sector past the stream
    {"edr__Test_git_issue_477_sst_wrong_count.xls", {std::nullopt, ""}},
    {"xlrd__corrupted_error.xls", {std::nullopt, ""}},
};

std::set<std::string> CorpusFiles() {
    std::set<std::string> files;
    std::error_code ec; // no corpus: no files
    for (const auto& entry : std::filesystem::directory_iterator(CorpusDir(), ec)) {
        if (entry.path().extension() == ".xls") {
            files.insert(entry.path().filename().string());
        }
    }
    return files.empty() ? std::set<std::string>{""} : files; // one test that skips
}

void ExpectError(const std::filesystem::path& path, WorkbookFault number,
                 const std::string& phrase) {
    try {
        ReadXlsFile(path);
        ADD_FAILURE() << path << " was read";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.fault(), number) << e.what();
        EXPECT_THAT(e.what(), ::testing::HasSubstr("「" + path.string() + "」"));
        EXPECT_THAT(e.what(), ::testing::HasSubstr(phrase));
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
        const nlohmann::json xlrd = nlohmann::json::parse(ReadBytes(file.string() + ".json"));
        EXPECT_TRUE(SameAsXlrd(ReadXlsFile(file), xlrd));
        EXPECT_TRUE(SameAsXlrd(ReadPageByPage(file), xlrd));
    } else if (const auto [number, phrase] = special->second; number) {
        ExpectError(file, *number, phrase);
    } else {
        EXPECT_TRUE(SameAsXlrd(ReadXlsFile(file), XlrdValues(file, XlrdMode::Lenient)));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, CorpusTest, ::testing::ValuesIn(CorpusFiles()));

TEST(ReadXlsFileTest, MissingOrNotAWorkbook) {
    TempDir dir;
    WriteBytes(dir / "a.xlsx", {'P', 'K', 3, 4, 0, 0, 0, 0});
    ExpectError(dir / "a.xlsx", WorkbookFault::NotAWorkbook,
                "は Excel 97-2003 ブックではありません（ZIP 形式です。Excel 2007 以降の .xlsx");
    ExpectError(dir / "none.xls", WorkbookFault::FileNotFound, "");
}

TEST(ReadXlsFileTest, UnreadableFileIsPermissionDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any file; test_xls_reader_unprivileged runs this";
    }
    TempDir dir;
    WriteBytes(dir / "a.xls", {1, 2, 3});
    ::chmod((dir / "a.xls").c_str(), 0);
    ExpectError(dir / "a.xls", WorkbookFault::PermissionDenied, "");
}

// Pieces of SST bodies: a string's length and flags, then its characters.
Bytes Head(std::uint16_t length, std::uint8_t flags) {
    return Concat({U16(length), {flags}});
}

Bytes Wide(std::u16string_view chars) {
    Bytes b;
    for (char16_t c : chars) {
        Append(b, U16(c));
    }
    return b;
}

constexpr std::uint8_t kWide = 0x01, kPhonetic = 0x04, kRich = 0x08;

struct SstCase {
    const char* name;
    bool xlrdReadsIt; // xlrd follows only some of the splits
    std::vector<std::u16string> strings;
    std::vector<Bytes> pieces; // the SST body after its counts, then each CONTINUE body
};

SstCase Split(const char* name, bool xlrdReadsIt, std::vector<std::u16string> strings,
              std::vector<Bytes> pieces) {
    return {name, xlrdReadsIt, std::move(strings), std::move(pieces)};
}

const SstCase kSplits[] = {
    Split("CharactersGoOnInTheOtherWidth", true, {u"ab日本"},
          {Concat({Head(4, 0), Bytes{'a', 'b'}}), Concat({{1}, Wide(u"日本")})}),
    Split("ContinueStartsAtAStringHeader", true, {u"ab", u"cd"},
          {Concat({Head(2, 0), Bytes{'a', 'b'}}), Concat({Head(2, 0), Bytes{'c', 'd'}})}),
    Split("SplitBetweenHeaderAndCharacters", true, {u"xyz"},
          {Head(3, 0), Concat({{kWide}, Wide(u"xyz")})}),
    Split("SplitInsideTheLength", false, {u"xyz"}, {{3}, Concat({{0, 0}, Bytes{'x', 'y', 'z'}})}),
    Split("RichTextRunsGoOn", true, {u"ab", u"c"},
          {Concat({Head(2, kRich), U16(2), Bytes{'a', 'b'}, U32(0x10000)}),
           Concat({U32(0x20001), Head(1, 0), Bytes{'c'}})}),
    Split("PhoneticDataSpansThreeRecords", false, {u"ab", u"c"},
          {Concat({Head(2, kPhonetic), U32(300), Bytes{'a', 'b'}, Bytes(100, 0xEE)}),
           Bytes(150, 0xEE), Concat({Bytes(50, 0xEE), Head(1, 0), Bytes{'c'}})}),
    Split("RichAndPhoneticTogether", true, {u"ふり", u"c"},
          {Concat({Head(2, kRich | kPhonetic | kWide), U16(1), U32(4), Wide(u"ふり"), U32(0),
                   Bytes(4, 0xEE), Head(1, 0), Bytes{'c'}})}),
    Split("HalfCharacterBeforeContinueIsDropped", true, {u"日本"},
          {Concat({Head(2, kWide), Wide(u"日"), {0x5C}}), Concat({{kWide}, Wide(u"本")})}),
    Split("EmptyContinueIsSkipped", false, {u"ab"},
          {Concat({Head(2, 0), Bytes{'a'}}), {}, Concat({{0}, Bytes{'b'}})}),
};

// Each string in a cell of column A, after a chart embedded in the sheet; the SST counts them.
TEST(SharedStringsTest, EverySplitIsReadInASheetWithAnEmbeddedChart) {
    for (const SstCase& c : kSplits) {
        SCOPED_TRACE(c.name);
        std::vector<Bytes> records{Bof(biff::Chart), NumberCell(0, 1, 7), Record(biff::Eof, {})};
        nlohmann::json cells = nlohmann::json::array();
        for (std::uint16_t i = 0; i < c.strings.size(); ++i) {
            records.push_back(CellRecord(biff::LabelSst, i, 0, U32(i)));
            cells.push_back({i, 0, "text", ToUtf8(c.strings[i])});
        }
        const auto count = static_cast<std::uint32_t>(c.strings.size());
        const Bytes file = XlsFile(WorkbookStream({SstRecords(count, c.pieces)}, {records}));
        const Workbook book = ReadXlsBytes(file, "s.xls");
        EXPECT_TRUE(SameAsXlrd(book, {{"sheets", {{{"name", "S1"}, {"cells", cells}}}}}));
        if (c.xlrdReadsIt) {
            TempDir dir;
            WriteBytes(dir / "s.xls", file);
            EXPECT_TRUE(SameAsXlrd(book, XlrdValues(dir / "s.xls")));
        }
    }
}

} // namespace
} // namespace tomorine
