// Reading against xlrd: every corpus file (also page by page), SST splits built byte by byte.
// Writing, against xlrd value by value and sector by sector; what we write we read back also
// with its sectors scattered and its sheets out of offset order.
#include "biff_stream_builder.h"
#include "store/entry.h"
#include "store/workbook/utf.h"
#include "store/xls/le_read.h"
#include "store/xls/record_writer.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/workbook_errors.h"
#include "support/xls_peer.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tomorine {
namespace {

using namespace test;
using nlohmann::json;
using xls::Le16;
using xls::Le32;

constexpr WorkbookFault kFormat = WorkbookFault::NotAWorkbook;

// Files without xlrd's .json: fault and phrase, or none where the data is intact.
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

// The error `act` (by default reading `path`) ends in, naming the file.
void ExpectError(const std::filesystem::path& path, WorkbookFault fault, const std::string& phrase,
                 const std::function<void()>& act = {}) {
    const auto read = [&] { static_cast<void>(ReadXlsFile(path)); };
    EXPECT_TRUE(FailsWith(act ? act : read, fault, {"「" + path.string() + "」", phrase}));
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
    } else if (const auto [fault, phrase] = special->second; fault) {
        ExpectError(file, *fault, phrase);
    } else {
        EXPECT_TRUE(SameAsXlrd(ReadXlsFile(file), XlrdValues(file, XlrdMode::Lenient)));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, CorpusTest, ::testing::ValuesIn(CorpusFiles()));

// A workbook missing, unreadable or not one; a text too long for a cell, the old file kept.
TEST(RefusalTest, NamesTheFileAndTheCause) {
    TempDir dir;
    Workbook book;
    book.addSheet(u"データ").setCell(3, 2, Cell::text(std::u16string(32768, u'x')));
    WriteBytes(dir / "old.xls", {1, 2, 3});
    ExpectError(dir / "old.xls", WorkbookFault::SheetRule, "「データ」のセル (3, 2)",
                [&] { WriteXlsFile(book, dir / "old.xls"); });
    EXPECT_EQ(ReadBytes(dir / "old.xls"), (Bytes{1, 2, 3}));
    WriteBytes(dir / "a.xlsx", {'P', 'K', 3, 4, 0, 0, 0, 0});
    ExpectError(dir / "a.xlsx", WorkbookFault::NotAWorkbook,
                "は Excel 97-2003 ブックではありません（ZIP 形式です。Excel 2007 以降の .xlsx");
    ExpectError(dir / "none.xls", WorkbookFault::FileNotFound, "");
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any file; test_xls_file_unprivileged runs this";
    }
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
    biff::RecordWriter(b, 0).chars(chars, true);
    return b;
}

constexpr std::uint8_t kWide = 0x01, kPhonetic = 0x04, kRich = 0x08;

struct SstCase {
    const char* name;
    bool xlrdReadsIt; // xlrd follows only some of the splits
    std::vector<std::u16string> strings;
    std::vector<Bytes> pieces; // the SST body after its counts, then each CONTINUE body
};

const SstCase kSplits[] = {
    SstCase("CharactersGoOnInTheOtherWidth", true, {u"ab日本"},
            {Concat({Head(4, 0), Bytes{'a', 'b'}}), Concat({{1}, Wide(u"日本")})}),
    SstCase("ContinueStartsAtAStringHeader", true, {u"ab", u"cd"},
            {Concat({Head(2, 0), Bytes{'a', 'b'}}), Concat({Head(2, 0), Bytes{'c', 'd'}})}),
    SstCase("SplitBetweenHeaderAndCharacters", true, {u"xyz"},
            {Head(3, 0), Concat({{kWide}, Wide(u"xyz")})}),
    SstCase("SplitInsideTheLength", false, {u"xyz"}, {{3}, Concat({{0, 0}, Bytes{'x', 'y', 'z'}})}),
    SstCase("RichTextRunsGoOn", true, {u"ab", u"c"},
            {Concat({Head(2, kRich), U16(2), Bytes{'a', 'b'}, U32(0x10000)}),
             Concat({U32(0x20001), Head(1, 0), Bytes{'c'}})}),
    SstCase("PhoneticDataSpansThreeRecords", false, {u"ab", u"c"},
            {Concat({Head(2, kPhonetic), U32(300), Bytes{'a', 'b'}, Bytes(100, 0xEE)}),
             Bytes(150, 0xEE), Concat({Bytes(50, 0xEE), Head(1, 0), Bytes{'c'}})}),
    SstCase("RichAndPhoneticTogether", true, {u"ふり", u"c"},
            {Concat({Head(2, kRich | kPhonetic | kWide), U16(1), U32(4), Wide(u"ふり"), U32(0),
                     Bytes(4, 0xEE), Head(1, 0), Bytes{'c'}})}),
    SstCase("HalfCharacterBeforeContinueIsDropped", true, {u"日本"},
            {Concat({Head(2, kWide), Wide(u"日"), {0x5C}}), Concat({{kWide}, Wide(u"本")})}),
    SstCase("EmptyContinueIsSkipped", false, {u"ab"},
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

// Texts, numbers (RK's edges among them), booleans, every error code, sheets, the last cell.
void Values(Workbook& book) {
    Sheet& sheet = book.addSheet(u"値");
    sheet.replaceRow(
        1,
        {Cell::text(u"café ÿ ©"), Cell::text(u"a\tb\t"), Cell::text(u"line1\nline2\r\nline3\r\n"),
         Cell::text(u""), Cell::text(u" "), Cell::text(u"𠮷野家で🍣を食べた😀"),
         Cell::text(std::u16string(u"a\0b", 3)), Cell::text(std::u16string(2000, u'字') + u"ABC"),
         Cell::text(std::u16string(32767, u'x')), Cell::text(std::u16string(30000, u'長'))});
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
        EXPECT_EQ(std::pair(xlrd["biff_version"], xlrd["codepage"]),
                  std::pair(json(80), json(1200)));
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
        Bytes stream(streamBytes);
        std::generate(stream.begin(), stream.end(), [i = 0u]() mutable { return i++ * 31 % 251; });
        const Bytes file = XlsFile(stream);
        stream.resize(std::max<std::size_t>(stream.size(), 4096), 0);
        TempDir dir;
        WriteBytes(dir / "file.cfb", file);
        EXPECT_EQ(InspectCompoundFile(dir / "file.cfb", dir / "stream"), json::array());
        EXPECT_TRUE(ReadBytes(dir / "stream") == stream) << "stream differs";
        EXPECT_EQ(Le32(&file[44]), fatSectors);
        EXPECT_EQ(Le32(&file[72]), difatSectors);
        EXPECT_EQ(Le32(&file[68]) == 0xFFFFFFFEu, difatSectors == 0); // the first DIFAT
    }
}

} // namespace
} // namespace tomorine
