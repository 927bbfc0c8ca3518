// Converting a workbook of the older layout: what each row becomes, what the
// user sees on the way, and what the rest of the program reads afterwards.
#include "store/entry.h"
#include "store/message_style.h"
#include "store/table/connection.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"
#include "upgrade/conversion.h"
#include "upgrade/data_version.h"
#include "upgrade_fixture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <utility>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::Harness;
using test::OldEntryRow;
using test::Repeat;
using test::ShownMessage;
using test::TempDir;

const std::u16string kConversionPrompt =
    u"データバージョンが違います。\r\n\r\nデータコンバートを開始します。\r\nよろしいですか？";
const char kBackupName[] = "bmバックアップ_____VER0104.xls";

// Writes the older workbook as bm.xls and runs the version check on it with
// every prompt answered OK.
class Converting : public ::testing::Test {
protected:
    Converting() : h(dir / "bm.xls") {}

    void Write(const Workbook& book) { WriteXlsFile(book, dir / "bm.xls"); }
    int Check() {
        UpgradeContext context = h.context();
        return CheckDataVersion(context);
    }
    Workbook Result() const { return ReadXlsFile(dir / "bm.xls"); }

    TempDir dir;
    Harness h;
};

// The cells a converted row should hold: column → value, all others empty.
using Cells = std::vector<std::pair<int, Cell>>;

struct RowCase {
    const char* name;
    OldEntryRow row;
    Cells expected;
};

void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.name;
}

Cell T(std::u16string text) {
    return Cell::text(std::move(text));
}
Cell N(double number) {
    return Cell::number(number);
}

// Chunk i of a text, as the chunked columns hold it.
std::u16string Chunk(const std::u16string& text, int i) {
    return i * 125 < static_cast<int>(text.size()) ? text.substr(i * 125, 125) : u"";
}

OldEntryRow Row(Cell serial, Cell deleted) {
    OldEntryRow row;
    row.serial = std::move(serial);
    row.deleted = std::move(deleted);
    return row;
}

OldEntryRow WithUrl(std::array<std::u16string, 4> url) {
    OldEntryRow row = Row(N(1), N(0));
    row.url = std::move(url);
    return row;
}
OldEntryRow WithTitle(std::u16string title, std::u16string subtitle = u"") {
    OldEntryRow row = Row(N(2), N(0));
    row.title = std::move(title);
    row.subtitle = std::move(subtitle);
    return row;
}
OldEntryRow WithComment(std::array<std::u16string, 4> comment) {
    OldEntryRow row = Row(N(3), N(0));
    row.comment = std::move(comment);
    return row;
}
OldEntryRow WithKeywords(std::array<std::u16string, 4> keywords) {
    OldEntryRow row = Row(N(4), N(1));
    row.keywords = std::move(keywords);
    return row;
}

const std::u16string k2400 =
    Repeat(u"a", 600) + Repeat(u"b", 600) + Repeat(u"c", 600) + Repeat(u"d", 600);

Cells KeywordColumns() {
    Cells cells{{1, N(4)}};
    for (int i = 0; i < 16; ++i) {
        cells.emplace_back(42 + i, T(Chunk(k2400, i)));
    }
    cells.emplace_back(58, N(1));
    return cells;
}

const RowCase kRowCases[] = {
    {"Url300IsCutInto125_125_50",
     WithUrl({Repeat(u"a", 100), Repeat(u"b", 100), Repeat(u"c", 50), Repeat(u"d", 50)}),
     {{1, N(1)},
      {2, T(Repeat(u"a", 100) + Repeat(u"b", 25))},
      {3, T(Repeat(u"b", 75) + Repeat(u"c", 50))},
      {4, T(Repeat(u"d", 50))},
      {58, N(0)}}},
    {"UrlKeepsTabsAndTrailingSpaces",
     WithUrl({u"http://例え.jp/a\tb  ", u"", u"", u"x "}),
     {{1, N(1)}, {2, T(u"http://例え.jp/a\tb  x ")}, {58, N(0)}}},
    {"UrlPiecesEmptyInBetween",
     WithUrl({u"", u"https://", u"", u"example.jp/"}),
     {{1, N(1)}, {2, T(u"https://example.jp/")}, {58, N(0)}}},
    {"TitleTrailingSpacesBecomeTabs",
     WithTitle(u"abc  "),
     {{1, N(2)}, {18, T(u"abc\t\t")}, {58, N(0)}}},
    {"TabInsideTitleBecomesSpace",
     WithTitle(u"a\tb", u"\tx\t"),
     {{1, N(2)}, {18, T(u"a b")}, {22, T(u" x\t")}, {58, N(0)}}},
    {"TabRulesApplyPerChunk",
     WithTitle(Repeat(u"あ", 123) + u"  い "),
     {{1, N(2)}, {18, T(Repeat(u"あ", 123) + u"\t\t")}, {19, T(u"い\t")}, {58, N(0)}}},
    {"TitleBeyond500IsDropped",
     WithTitle(Repeat(u"題", 500) + u"余り", Repeat(u"副", 130)),
     {{1, N(2)},
      {18, T(Repeat(u"題", 125))},
      {19, T(Repeat(u"題", 125))},
      {20, T(Repeat(u"題", 125))},
      {21, T(Repeat(u"題", 125))},
      {22, T(Repeat(u"副", 125))},
      {23, T(Repeat(u"副", 5))},
      {58, N(0)}}},
    {"CommentJoinedThenRuled",
     WithComment({u"前半  ", u"", u"後半", u"\t"}),
     {{1, N(3)}, {26, T(u"前半  後半\t")}, {58, N(0)}}},
    {"CommentOfSpacesOnly",
     WithComment({u"   ", u"", u"", u""}),
     {{1, N(3)}, {26, T(u"\t\t\t")}, {58, N(0)}}},
    {"Keywords2400AreCutAt2000",
     WithKeywords({Repeat(u"a", 600), Repeat(u"b", 600), Repeat(u"c", 600), Repeat(u"d", 600)}),
     KeywordColumns()},
    {"SerialAndDeletedCopiedUnchanged",
     Row(T(u"0042"), Cell::boolean(true)),
     {{1, T(u"0042")}, {58, Cell::boolean(true)}}},
    {"LargeSerialAndDeletedNumber", Row(N(2147483647), N(1)), {{1, N(2147483647)}, {58, N(1)}}},
    {"SerialAndDeletedEmpty",
     [] {
         OldEntryRow row;
         row.title = u"題だけ";
         return row;
     }(),
     {{18, T(u"題だけ")}}},
    {"EmptyRow", Row(Cell(), Cell()), {}},
};

class ConvertedRow : public Converting, public ::testing::WithParamInterface<RowCase> {};

TEST_P(ConvertedRow, HoldsWhatTheConversionTableSays) {
    Write(test::OldDataWorkbook({GetParam().row, test::OldRows(1)[0]}));

    ASSERT_EQ(Check(), 0);

    Workbook book = Result();
    ASSERT_EQ(book.sheetCount(), 1);
    const Sheet& sheet = book.sheet(1);
    EXPECT_EQ(sheet.name(), u"トモリネ");
    ASSERT_EQ(sheet.lastUsedRow(), 4);
    Sheet::Row expected(58);
    for (const auto& [column, value] : GetParam().expected) {
        expected[column - 1] = value;
    }
    for (int column = 1; column <= 58; ++column) {
        EXPECT_EQ(sheet.cell(3, column), expected[column - 1]) << "column " << column;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ConvertedRow, ::testing::ValuesIn(kRowCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Converting, WritesHeaderAndDummyRowsAndKeepsOtherSheets) {
    Workbook old = test::OldDataWorkbook(test::OldRows(2));
    old.addSheet(u"メモ", 1).setCell(1, 1, Cell::text(u"前のシート"));
    old.addSheet(u"後ろ").setCell(2, 2, Cell::number(7));
    Write(old);

    ASSERT_EQ(Check(), 0);

    Workbook book = Result();
    ASSERT_EQ(book.sheetCount(), 3);
    EXPECT_EQ(book.sheet(1).name(), u"メモ");
    EXPECT_EQ(book.sheet(2).name(), u"トモリネ");
    EXPECT_EQ(book.sheet(3).name(), u"後ろ");
    EXPECT_EQ(book.sheet(1).cell(1, 1), Cell::text(u"前のシート"));
    EXPECT_EQ(book.sheet(3).cell(2, 2), Cell::number(7));
    const Sheet& entries = book.sheet(2);
    for (int column = 1; column <= 58; ++column) {
        EXPECT_EQ(entries.cell(1, column), Cell::text(EntryColumnNames()[column - 1]));
    }
    EXPECT_EQ(entries.cell(2, 1), Cell::number(0));
    for (int column = 2; column <= 17; ++column) {
        EXPECT_EQ(entries.cell(2, column), Cell::text(u"dummy")) << column;
    }
    for (int column = 18; column <= 57; ++column) {
        EXPECT_EQ(entries.cell(2, column), Cell::text(u"ダミー")) << column;
    }
    EXPECT_EQ(entries.cell(2, 58), Cell::number(1));
}

TEST_F(Converting, CarriesOverEveryRowAlsoEmptyOnes) {
    std::vector<OldEntryRow> rows = test::OldRows(5);
    rows[1] = OldEntryRow{};             // row 4: nothing at all
    rows[3] = Row(Cell::number(40), {}); // row 6: a serial only
    Workbook old = test::OldDataWorkbook(rows);
    old.sheet(1).setCell(3, 3, Cell::number(8080)); // numbers join as shown
    old.sheet(1).setCell(3, 7, Cell::number(1.5));
    Write(old);

    ASSERT_EQ(Check(), 0);

    const Workbook book = Result();
    const Sheet& sheet = book.sheet(1);
    ASSERT_EQ(sheet.lastUsedRow(), 7);
    EXPECT_EQ(sheet.cell(3, 1), Cell::number(1));
    EXPECT_EQ(sheet.cell(3, 2), Cell::text(u"https://example.jp/page/8080.html"));
    EXPECT_EQ(sheet.cell(3, 22), Cell::text(u"1.5"));
    EXPECT_TRUE(sheet.row(4).empty());
    EXPECT_EQ(sheet.cell(5, 1), Cell::number(3));
    EXPECT_EQ(sheet.row(6), Sheet::Row{Cell::number(40)});
    EXPECT_EQ(sheet.cell(7, 1), Cell::number(5));
    EXPECT_EQ(sheet.cell(7, 18), Cell::text(u"今日の献立 その5"));
    EXPECT_EQ(sheet.cell(7, 42), Cell::text(u"料理 献立")); // inner spaces stay
    EXPECT_EQ(sheet.cell(7, 58), Cell::number(0));
}

TEST_F(Converting, HeaderAndDummyRowsOnlyStillSucceeds) {
    Write(test::OldDataWorkbook({}));

    ASSERT_EQ(Check(), 0);

    const Workbook book = Result();
    const Sheet& sheet = book.sheet(1);
    EXPECT_EQ(sheet.lastUsedRow(), 2);
    EXPECT_EQ(sheet.cell(1, 5), Cell::text(u"URL4"));
    EXPECT_TRUE(h.recorder.progress.empty());
}

// What the search, the editor and the merge read from the converted file.
TEST_F(Converting, EntriesReadBackThroughTheTable) {
    OldEntryRow row = WithTitle(u"abc  ", u"\t副題");
    row.url = {Repeat(u"u", 100), Repeat(u"r", 100), Repeat(u"l", 100), u""};
    row.comment = {u"感想 ", u" です  "};
    row.keywords = {u"旅行\t写真", u""};
    Write(test::OldDataWorkbook({row}));

    ASSERT_EQ(Check(), 0);
    UpgradeContext context = h.context();
    EXPECT_EQ(GetDataVersion(context, dir / "bm.xls"), DataVersion0105);

    Connection connection(Connection::ConnectionString(dir / "bm.xls"));
    Recordset rs = connection.execute(u"SELECT * FROM [トモリネ$] WHERE 削除 = 0");
    ASSERT_FALSE(rs.eof());
    Entry entry = ReadEntry(rs);
    EXPECT_EQ(entry.serial, 2);
    EXPECT_EQ(entry.url, Repeat(u"u", 100) + Repeat(u"r", 100) + Repeat(u"l", 100));
    EXPECT_EQ(entry.title, u"abc  ");
    EXPECT_EQ(entry.subtitle, u" 副題");
    EXPECT_EQ(entry.comment, u"感想  です  ");
    EXPECT_EQ(entry.keywords, u"旅行 写真");
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
}

// A second reader, not our own, sees the same converted workbook.
TEST_F(Converting, XlrdReadsTheConvertedWorkbook) {
    Write(test::OldDataWorkbook(test::OldRows(3)));
    ASSERT_EQ(Check(), 0);
    nlohmann::json peer = test::XlrdValues(dir / "bm.xls");
    ASSERT_EQ(peer["sheets"].size(), 1u);
    EXPECT_EQ(peer["sheets"][0]["name"], "トモリネ");
    EXPECT_TRUE(test::SameAsXlrd(Result(), peer));
}

TEST_F(Converting, ShowsThePromptAndTheEndMessageAndKeepsTheBackup) {
    Write(test::OldDataWorkbook(test::OldRows(2)));
    const auto original = test::ReadBytes(dir / "bm.xls");

    ASSERT_EQ(Check(), 0);

    EXPECT_EQ(h.recorder.messages,
              (std::vector<ShownMessage>{{kConversionPrompt, MessageStyle::OkCancelExclamation},
                                         {u"終了しました", MessageStyle::Ok}}));
    EXPECT_TRUE(h.state.ConversionConfirmed);
    EXPECT_EQ(h.recorder.progressShown, 1);
    EXPECT_EQ(h.recorder.progressClosed, 1);
    EXPECT_EQ(test::ReadBytes(dir / kBackupName), original);
    EXPECT_EQ(test::FileNames(dir.path()), (std::vector<std::string>{"bm.xls", kBackupName}));
    EXPECT_EQ(h.store.DataFilePath, dir / "bm.xls");

    // The next start finds the converted file and its backup: nothing to do.
    h.recorder.messages.clear();
    const auto converted = test::ReadBytes(dir / "bm.xls");
    EXPECT_EQ(Check(), 0);
    EXPECT_TRUE(h.recorder.messages.empty());
    EXPECT_EQ(test::ReadBytes(dir / "bm.xls"), converted);
}

TEST_F(Converting, DeclinedLeavesBothFilesAsTheyAre) {
    Write(test::OldDataWorkbook(test::OldRows(2)));
    const auto original = test::ReadBytes(dir / "bm.xls");
    h.recorder.answers = {AnswerCancel};

    EXPECT_EQ(Check(), 0);

    EXPECT_EQ(h.recorder.messages,
              (std::vector<ShownMessage>{{kConversionPrompt, MessageStyle::OkCancelExclamation}}));
    EXPECT_FALSE(h.state.ConversionConfirmed);
    EXPECT_EQ(test::ReadBytes(dir / "bm.xls"), original);
    EXPECT_EQ(test::ReadBytes(dir / kBackupName), original);
    EXPECT_EQ(h.faults.opens + h.faults.saves, 0);

    // Offered again on the next check, with the backup already there.
    test::Age(dir / kBackupName);
    const auto backupTime = fs::last_write_time(dir / kBackupName);
    h.recorder.answers = {AnswerCancel};
    EXPECT_EQ(Check(), 0);
    EXPECT_EQ(h.recorder.messages.size(), 2u);
    EXPECT_EQ(fs::last_write_time(dir / kBackupName), backupTime);
}

TEST_F(Converting, RecoveredBackupIsConvertedAtOnce) {
    WriteXlsFile(test::OldDataWorkbook(test::OldRows(2)), dir / kBackupName);
    const auto backup = test::ReadBytes(dir / kBackupName);

    EXPECT_EQ(Check(), 0);

    EXPECT_EQ(h.recorder.styles(),
              (std::vector<int>{MessageStyle::OkCancelExclamation,
                                MessageStyle::OkCancelExclamation, MessageStyle::Ok}));
    EXPECT_EQ(Result().sheet(1).cell(4, 18), Cell::text(u"今日の献立 その2"));
    EXPECT_EQ(test::ReadBytes(dir / kBackupName), backup);
}

TEST_F(Converting, DeclinedRecoveryKeepsTheCommandsOff) {
    WriteXlsFile(test::OldDataWorkbook(test::OldRows(2)), dir / kBackupName);
    h.recorder.answers = {AnswerCancel};

    EXPECT_EQ(Check(), -1);

    EXPECT_EQ(h.recorder.messages,
              (std::vector<ShownMessage>{{u"リカバリ処理をします\r\n\r\nよろしいですか？",
                                          MessageStyle::OkCancelExclamation}}));
    EXPECT_EQ(test::FileNames(dir.path()), std::vector<std::string>{kBackupName});
}

TEST_F(Converting, CurrentDataFileIsLeftAlone) {
    Write(test::OldDataWorkbook({}));
    ASSERT_EQ(Check(), 0);
    h.recorder.messages.clear();
    fs::remove(dir / kBackupName);
    const auto converted = test::ReadBytes(dir / "bm.xls");

    EXPECT_EQ(Check(), 0);
    EXPECT_TRUE(h.recorder.messages.empty());
    EXPECT_EQ(test::FileNames(dir.path()), std::vector<std::string>{"bm.xls"});
    EXPECT_EQ(test::ReadBytes(dir / "bm.xls"), converted);
}

// The row copy makes the data file path absolute (and plain) before it runs.
TEST_F(Converting, RelativeDataFilePathBecomesAbsolute) {
    Write(test::OldDataWorkbook(test::OldRows(2)));
    fs::create_directory(dir / "sub");
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    h.store.DataFilePath = "./sub/../bm.xls";

    const int result = Check();

    fs::current_path(previous);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(h.store.DataFilePath, dir / "bm.xls");
    EXPECT_EQ(Result().sheet(1).cell(4, 18), Cell::text(u"今日の献立 その2"));
}

TEST_F(Converting, CancelRequestFromEarlierIsCleared) {
    Write(test::OldDataWorkbook(test::OldRows(2)));
    h.state.ConversionCancelRequested = true;

    EXPECT_EQ(Check(), 0);
    EXPECT_EQ(Result().sheet(1).cell(1, 6), Cell::text(u"URL5"));
}

struct ProgressCase {
    const char* name;
    int lastRow;
    std::vector<int> expected;             // empty: check only the rows in `spot`
    std::vector<std::pair<int, int>> spot; // row → percent
};

void PrintTo(const ProgressCase& c, std::ostream* os) {
    *os << c.name;
}

class Progress : public Converting, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(Progress, FollowsTheRowsHalvesToEvenAnd99UntilTheLast) {
    const ProgressCase& c = GetParam();
    Write(test::OldDataWorkbook(test::OldRows(c.lastRow - 2)));

    ASSERT_EQ(Check(), 0);

    const std::vector<int>& shown = h.recorder.progress;
    ASSERT_EQ(shown.size(), static_cast<size_t>(c.lastRow - 2));
    if (!c.expected.empty()) {
        EXPECT_EQ(shown, c.expected);
    }
    for (const auto& [row, percent] : c.spot) {
        EXPECT_EQ(shown[row - 3], percent) << "row " << row;
    }
    EXPECT_EQ(h.recorder.eventsRun, c.lastRow - 2);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Progress,
    ::testing::Values(
        ProgressCase{"OneRow", 3, {100}, {}},
        ProgressCase{"HalvesToEven", 8, {38, 50, 62, 75, 88, 100}, {}},
        ProgressCase{"LastRow201", 201, {}, {{3, 1}, {100, 50}, {200, 99}, {201, 100}}},
        ProgressCase{"LastRow200", 200, {}, {{3, 2}, {5, 2}, {7, 4}, {199, 99}, {200, 100}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PercentCase {
    int row;
    int last;
    int percent; // from Python's round(row / last * 100)
};

class Percent : public ::testing::TestWithParam<PercentCase> {};

TEST_P(Percent, RoundsHalfToEvenAndHolds99) {
    EXPECT_EQ(ConversionPercent(GetParam().row, GetParam().last), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(Values, Percent,
                         ::testing::Values(PercentCase{1, 200, 0}, PercentCase{3, 200, 2},
                                           PercentCase{5, 200, 2}, PercentCase{7, 200, 4},
                                           PercentCase{199, 200, 99}, PercentCase{200, 200, 100},
                                           PercentCase{200, 201, 99}, PercentCase{201, 201, 100},
                                           PercentCase{1, 3, 33}, PercentCase{2, 3, 67},
                                           PercentCase{3, 3, 100}));

TEST(TabsToSpaces, ReplacesEveryTab) {
    EXPECT_EQ(TabsToSpaces(u"\ta\t\tb\t"), u" a  b ");
    EXPECT_EQ(TabsToSpaces(u"タブなし"), u"タブなし");
    EXPECT_EQ(TabsToSpaces(u""), u"");
}

} // namespace
} // namespace tomorine
