// The version check: telling the layouts apart, converting the older one,
// and ending every failed or cancelled conversion with the data file as its
// backup, byte for byte.
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/message_style.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"
#include "upgrade/conversion.h"
#include "upgrade/data_version.h"
#include "upgrade_fixture.h"

#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using Texts = std::vector<std::u16string>;

constexpr int kPrompt = MessageStyle::OkCancelExclamation;
constexpr int kCritical = MessageStyle::Critical;
const std::u16string kConversionPrompt =
    u"データバージョンが違います。\r\n\r\nデータコンバートを開始します。\r\nよろしいですか？";
const char kBackupName[] = "bmバックアップ_____VER0104.xls";

TEST(GetDataVersion, IsRecognisedOrReportedOnceNamingTheFile) {
    const std::pair<FileContent, std::u16string_view> cases[] = {{New, DataVersion0105},
                                                                 {HeaderOnly, DataVersion0105},
                                                                 {Old, DataVersion0104},
                                                                 {Garbage, DataVersionUnknown}};
    for (const auto& [content, version] : cases) {
        SCOPED_TRACE(content);
        TempDir dir;
        MakeFile(dir / "ブック.xls", content);
        const auto before = ReadBytes(dir / "ブック.xls");
        Harness h(dir / "unused.xls");

        EXPECT_EQ(GetDataVersion(h.context, dir / "ブック.xls"), version);

        EXPECT_EQ(ReadBytes(dir / "ブック.xls"), before);
        const bool unknown = version == DataVersionUnknown;
        EXPECT_EQ(h.styles, unknown ? std::vector<int>{kCritical} : std::vector<int>{});
        EXPECT_TRUE(!unknown || h.texts[0].find(u"ブック.xls") != std::u16string::npos);
    }
}

// Every row carried over; a 300-unit URL cut 125/125/50; the tab rules per
// chunk; keywords past 2,000 units dropped; serial and deleted copied as they
// are; header and dummy rows rewritten; other sheets kept, no "tmp" left;
// a cancel request left from an earlier run cleared.
TEST(CheckDataVersion, ConvertsAnOlderWorkbookAsTheTableSays) {
    TempDir dir;
    const fs::path data = dir / "bm.xls";
    const std::u16string a(100, u'a'), b(100, u'b'), c(50, u'c'), d(50, u'd');
    const std::u16string k1(600, u'1'), k2(600, u'2'), k3(600, u'3'), k4(600, u'4');
    std::vector<Sheet::Row> rows = OldRows(6);
    rows[0] =
        OldRow(Cell::number(1), {a, b, c, d, u"abc  ", u"a\tb", u"前半  ", u"", u"後半", u"\t"},
               Cell::number(0));
    rows[1] = OldRow(Cell::text(u"0042"),
                     {u"", u"", u"", u"", std::u16string(123, u'あ') + u"  い ", u"", u"", u"", u"",
                      u"", k1, k2, k3, k4},
                     Cell::boolean(true));
    rows[2] = {};
    Workbook old = OldDataWorkbook(rows);
    old.addSheet(u"メモ", 1).setCell(1, 1, Cell::text(u"残す"));
    old.addSheet(u"tmp"); // left by an interrupted run
    WriteXlsFile(old, data);
    const auto original = ReadBytes(data);
    Harness h(data);
    h.state.ConversionCancelRequested = true;

    ASSERT_EQ(CheckDataVersion(h.context), 0);

    EXPECT_EQ(h.texts, (Texts{kConversionPrompt, u"終了しました"}));
    EXPECT_EQ(h.progress, (std::vector<int>{38, 50, 62, 75, 88, 100})) << "rows 3 … 8 of 8";
    EXPECT_EQ(ReadBytes(dir / kBackupName), original);
    EXPECT_EQ(FileNames(dir.path()), (Names{"bm.xls", kBackupName}));
    const Workbook book = ReadXlsFile(data);
    EXPECT_TRUE(SameAsXlrd(book, XlrdValues(data)));
    ASSERT_EQ(book.sheetCount(), 2);
    EXPECT_EQ(book.sheet(1).cell(1, 1), Cell::text(u"残す"));
    const Sheet& sheet = book.sheet(2);
    ASSERT_EQ(sheet.lastUsedRow(), 8);

    const Sheet fresh = NewDataWorkbook().sheet(1);
    EXPECT_EQ(sheet.row(1), fresh.row(1)) << "header";
    EXPECT_EQ(sheet.row(2), fresh.row(2)) << "dummy row";
    // Rows 3 … 5 cell by cell; the cells not listed are empty.
    auto T = [](std::u16string text) { return Cell::text(std::move(text)); };
    std::map<std::pair<int, int>, Cell> want = {
        {{3, 1}, Cell::number(1)},     {{3, 2}, T(a + b.substr(0, 25))},
        {{3, 3}, T(b.substr(25) + c)}, {{3, 4}, T(d)},
        {{3, 18}, T(u"abc\t\t")},      {{3, 22}, T(u"a b")},
        {{3, 26}, T(u"前半  後半\t")}, {{3, 58}, Cell::number(0)},
        {{4, 1}, T(u"0042")},          {{4, 18}, T(std::u16string(123, u'あ') + u"\t\t")},
        {{4, 19}, T(u"い\t")},         {{4, 58}, Cell::boolean(true)}};
    for (int i = 0; i < 16; ++i) {
        want[{4, 42 + i}] = T((k1 + k2 + k3 + k4).substr(i * 125, 125));
    }
    for (int row = 3; row <= 5; ++row) {
        for (int column = 1; column <= EntryColumnCount; ++column) {
            const auto it = want.find({row, column});
            EXPECT_EQ(sheet.cell(row, column), it == want.end() ? Cell() : it->second)
                << "row " << row << ", column " << column;
        }
    }
}

// Python's round(row / last * 100), held at 99 until the last row is done.
TEST(ConversionPercent, RoundsHalfToEvenAndHolds99) {
    const int cases[][3] = {{1, 200, 0},    {3, 200, 2},    {5, 200, 2},
                            {199, 200, 99}, {200, 201, 99}, {200, 200, 100}};
    for (const auto& [row, last, percent] : cases) {
        EXPECT_EQ(ConversionPercent(row, last), percent) << row << " of " << last;
    }
}

TEST(CheckDataVersion, DeclinedConversionLeavesTheFileAsItWas) {
    TempDir dir;
    MakeFile(dir / "bm.xls", Old);
    const auto original = ReadBytes(dir / "bm.xls");
    Harness h(dir / "bm.xls");
    h.answer = AnswerCancel;

    EXPECT_EQ(CheckDataVersion(h.context), 0);

    EXPECT_EQ(h.texts, Texts{kConversionPrompt});
    EXPECT_FALSE(h.state.ConversionConfirmed);
    EXPECT_EQ(h.opens + h.saves, 0);
    EXPECT_EQ(ReadBytes(dir / "bm.xls"), original);
    EXPECT_EQ(ReadBytes(dir / kBackupName), original);
}

enum Setup { Plain, LeftoverTmp, StaleBackup, ReadOnlyFolder, NoEntrySheet };

struct FaultCase {
    const char* name;
    Setup setup;
    int failOpen, failSave, cancelAtRow; // 0: never
    std::vector<int> styles;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

// Opens, in order: DeleteTmpSheet, AddConversionSheet, GetLastUsedRow,
// ConvertEntryRows, ReplaceEntrySheet. Saves: a leftover "tmp" deleted, then
// AddConversionSheet, ConvertEntryRows, ReplaceEntrySheet.
const FaultCase kFaults[] = {
    {"DeleteTmpSheetCannotSave", LeftoverTmp, 0, 1, 0, {kPrompt, kCritical}},
    {"AddConversionSheetCannotOpen", Plain, 2, 0, 0, {kPrompt, kCritical}},
    {"LastUsedRowUnreadable", Plain, 3, 0, 0, {kPrompt, kCritical}},
    {"ConvertEntryRowsCannotSave", Plain, 0, 2, 0, {kPrompt, kCritical}},
    {"ReplaceEntrySheetCannotSaveAfterLeftover", LeftoverTmp, 0, 4, 0, {kPrompt, kCritical}},
    {"CancelledHalfWay", Plain, 0, 0, 5, {kPrompt}},
    // A backup left by a declined attempt and older than the data file (another
    // program changed it since) is brought up to date before the conversion.
    {"StaleBackupRefreshedFirst", StaleBackup, 0, 2, 0, {kPrompt, kCritical}},
    {"ReadOnlyFolder", ReadOnlyFolder, 0, 0, 0, {kPrompt, kCritical}},
    {"NoEntrySheet", NoEntrySheet, 0, 0, 0, {kCritical}},
};

class FailedConversion : public testing::TestWithParam<FaultCase> {};

TEST_P(FailedConversion, LeavesTheDataFileAsItsBackup) {
    const FaultCase& c = GetParam();
    if (c.setup == ReadOnlyFolder && ::geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not stop root; runs unprivileged";
    }
    TempDir dir;
    const fs::path data = dir / "bm.xls";
    Workbook book = OldDataWorkbook(OldRows(6));
    if (c.setup == LeftoverTmp) {
        book.addSheet(u"tmp").setCell(1, 1, Cell::text(u"前回の残り"));
    } else if (c.setup == NoEntrySheet) {
        book.renameSheet(book.sheet(1), u"Sheet1");
    }
    WriteXlsFile(book, data);
    const auto original = ReadBytes(data);
    if (c.setup == StaleBackup) {
        WriteXlsFile(OldDataWorkbook(OldRows(2)), dir / kBackupName);
    } else if (c.setup == ReadOnlyFolder) { // where no backup could be made
        fs::copy_file(data, dir / kBackupName);
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    }
    Harness h(data);
    h.failOpen = c.failOpen;
    h.failSave = c.failSave;
    h.onProgress = [&, row = 2](int) mutable {
        if (++row == c.cancelAtRow) {
            h.state.ConversionCancelRequested = true; // as the progress window's close does
        }
    };

    EXPECT_EQ(CheckDataVersion(h.context), -1);

    EXPECT_EQ(h.styles, c.styles);
    EXPECT_EQ(ReadBytes(data), original);
    if (c.setup == NoEntrySheet) {
        EXPECT_EQ(FileNames(dir.path()), Names{"bm.xls"});
        return;
    }
    EXPECT_EQ(ReadBytes(dir / kBackupName), original);
    EXPECT_EQ(FileNames(dir.path()), (Names{"bm.xls", kBackupName}));
    EXPECT_EQ(h.progressClosed, 1);
    if (c.cancelAtRow != 0) {
        EXPECT_EQ(h.progress.size(), c.cancelAtRow - 2u) << "rows were copied after the cancel";
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedConversion, testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tomorine::test
