// The version check: backup and recovery, the conversion, and failures that
// end with the data file as its backup, byte for byte.
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/files/atomic_file.h"
#include "store/message_style.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"
#include "upgrade/backup.h"
#include "upgrade/compact.h"
#include "upgrade/conversion.h"
#include "upgrade/data_version.h"
#include "upgrade_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr int kPrompt = MessageStyle::OkCancelExclamation, kOk = AnswerOk, kThrew = -1;
const char kBackupName[] = "bmバックアップ_____VER0104.xls";
constexpr auto* Check = +[](UpgradeContext& c) { return int(CheckBackupAndRecover(c)); };
constexpr auto* Restore = +[](UpgradeContext& c) { return RestoreDataBackup(c), 1; };

TEST(Backup, CheckAndRestoreGiveTheirResultAndTouchOnlyWhatTheySay) {
    // Afterwards: 'd' the data file's bytes before, 'b' the backup's, '-' missing.
    const struct {
        const char* name;
        int (*run)(UpgradeContext&);
        FileContent data, backup;
        int answer; // to the recovery prompt; for Restore, whether the conversion was confirmed
        int result; // a BackupState, 1 when Restore returned, or kThrew
        std::vector<int> styles;
        char dataAfter, backupAfter;
    } cases[] = {
        {"converted earlier", Check, New, Old, kOk, 0, {}, 'd', 'b'},
        {"old with backup", Check, Old, Old, kOk, 1, {}, 'd', 'b'},
        {"current", Check, New, Missing, kOk, 2, {}, 'd', '-'},
        {"current, no data row", Check, HeaderOnly, Missing, kOk, 2, {}, 'd', '-'},
        {"old, backed up now", Check, Old, Missing, kOk, 3, {}, 'd', 'd'},
        {"recovery accepted", Check, Missing, Old, kOk, 4, {kPrompt}, 'b', 'b'},
        {"recovery of a converted backup", Check, Missing, New, kOk, 0, {kPrompt}, 'b', 'b'},
        {"recovery declined", Check, Missing, Old, AnswerCancel, 6, {kPrompt}, '-', 'b'},
        {"neither", Check, Missing, Missing, kOk, 5, {}, '-', '-'},
        {"not a workbook", Check, Garbage, Old, kOk, kThrew, {}, 'd', 'b'},
        {"backup copy fails", Check, Old, Folder, kOk, kThrew, {}, 'd', '-'},
        {"recovery copy fails", Check, Folder, Old, kOk, kThrew, {kPrompt}, '-', 'b'},
        {"restore: not confirmed", Restore, WithTmp, Old, AnswerCancel, 1, {}, 'd', 'b'},
        {"restore: data missing", Restore, Missing, Old, kOk, 1, {}, 'b', 'b'},
        {"restore: data with tmp", Restore, WithTmp, Old, kOk, 1, {}, 'b', 'b'},
        {"restore: copy fails", Restore, Folder, Old, kOk, kThrew, {}, '-', 'b'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path data = dir / "bm.xls", backup = dir / kBackupName;
        MakeFile(data, c.data);
        MakeFile(backup, c.backup);
        const Bytes before[] = {BytesOrNothing(data), BytesOrNothing(backup)};
        Harness h(data);
        h.answer = c.answer;
        h.state.conversionConfirmed = c.answer == kOk;

        int result = kThrew;
        try {
            result = c.run(h.context);
        } catch (const WorkbookError&) {
        }
        EXPECT_EQ(result, c.result);

        EXPECT_EQ(h.styles, c.styles);
        auto expected = [&](char what) { return what == '-' ? Bytes{} : before[what == 'b']; };
        EXPECT_EQ(BytesOrNothing(data), expected(c.dataAfter));
        EXPECT_EQ(BytesOrNothing(backup), expected(c.backupAfter));
        const size_t files = (c.data != Missing || c.dataAfter != '-') +
                             (c.backup != Missing || c.backupAfter != '-');
        EXPECT_EQ(FileNames(dir.path()).size(), files) << "a stray file was left";
        for (const fs::path& file : {data, backup}) {
            EXPECT_TRUE(!fs::is_regular_file(file) ||
                        fs::status(file).permissions() == PrivateMode);
        }
    }
}

// Also: keywords past 2,000 units dropped, other sheets kept, a cancel request
// left from an earlier run cleared, no exit re-save of a file nobody edited.
TEST(CheckDataVersion, ConvertsAnOlderWorkbookAsTheTableSays) {
    TempDir dir;
    const fs::path data = dir / "bm.xls";
    // c and d split 𠮷 between them, as older versions cut it.
    const std::u16string a(100, u'a'), b(100, u'b'), cs(49, u'c'), ds(49, u'd');
    const std::u16string c = cs + u"\xD842", d = u"\xDFB7" + ds;
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
    old.addSheet(u"tmp");                          // left by an interrupted run
    WriteFileAtomically(data, WriteXlsBytes(old)); // halves and all
    const auto original = ReadBytes(data);
    Harness h(data);
    h.state.conversionCancelRequested = true;

    ASSERT_EQ(CheckDataVersion(h.context), DataFileCheck::Usable);

    EXPECT_EQ(h.styles, (std::vector<int>{kPrompt, MessageStyle::Ok}));
    // Python's round(row / last * 100), held at 99 until the last row is done.
    EXPECT_EQ(h.progress, (std::vector<int>{38, 50, 62, 75, 88, 100})) << "rows 3 … 8 of 8";
    EXPECT_EQ(ConversionPercent(199, 200), 99);
    EXPECT_EQ(ReadBytes(dir / kBackupName), original);
    EXPECT_EQ(FileNames(dir.path()), (std::set<std::string>{"bm.xls", kBackupName}));
    const int saves = h.saves; // nothing edited since start-up: no re-save at exit
    CompactDataWorkbook(h.context, data);
    EXPECT_EQ(h.saves, saves);
    const Workbook book = ReadXlsFile(data);
    EXPECT_TRUE(SameAsXlrd(book, XlrdValues(data)));
    ASSERT_EQ(book.sheetCount(), 2);
    EXPECT_EQ(book.sheet(1).cell(1, 1), Cell::text(u"残す"));
    const Sheet& sheet = book.sheet(2);
    ASSERT_EQ(sheet.lastUsedRow(), 8);

    EXPECT_EQ(sheet.row(1), NewDataWorkbook().sheet(1).row(1)) << "header";
    EXPECT_EQ(sheet.row(2), NewDataWorkbook().sheet(1).row(2)) << "dummy row";
    // Rows 3 … 5 cell by cell; the cells not listed are empty.
    auto T = [](std::u16string text) { return Cell::text(std::move(text)); };
    std::map<std::pair<int, int>, Cell> want = {
        {{3, 1}, Cell::number(1)},      {{3, 2}, T(a + b.substr(0, 25))},
        {{3, 3}, T(b.substr(25) + cs)}, {{3, 4}, T(u"𠮷" + ds)},
        {{3, 18}, T(u"abc\t\t")},       {{3, 22}, T(u"a b")},
        {{3, 26}, T(u"前半  後半\t")},  {{3, 58}, Cell::number(0)},
        {{4, 1}, T(u"0042")},           {{4, 18}, T(std::u16string(123, u'あ') + u"\t\t")},
        {{4, 19}, T(u"い\t")},          {{4, 58}, Cell::boolean(true)}};
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

enum Setup { Plain, LeftoverTmp, StaleBackup, ReadOnlyFolder, NoEntrySheet };

struct FaultCase {
    const char* name;
    Setup setup;
    int failOpen, failSave;
    size_t cancelAfter; // progress reports; 0: never; else the conversion throws
};

// Opens: DeleteTmpSheet, AddConversionSheet, GetLastUsedRow, ConvertEntryRows, ReplaceEntrySheet.
// Saves: "tmp" deleted, AddConversionSheet, ConvertEntryRows, ReplaceEntrySheet.
const FaultCase kFaults[] = {
    {"DeleteTmpSheetCannotSave", LeftoverTmp, 0, 1, 0},
    {"AddConversionSheetCannotOpen", Plain, 2, 0, 0},
    {"LastUsedRowUnreadable", Plain, 3, 0, 0},
    {"ConvertEntryRowsCannotSave", Plain, 0, 2, 0},
    {"ReplaceEntrySheetCannotSaveAfterLeftover", LeftoverTmp, 0, 4, 0},
    {"CancelledHalfWay", Plain, 0, 0, 3},
    {"StaleBackupRefreshedFirst", StaleBackup, 0, 2, 0},
    {"ReadOnlyFolder", ReadOnlyFolder, 0, 0, 0},
    {"NoEntrySheet", NoEntrySheet, 0, 0, 0},
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
    std::tie(h.failOpen, h.failSave, h.cancelAfter) =
        std::tie(c.failOpen, c.failSave, c.cancelAfter);

    if (c.cancelAfter) {
        EXPECT_EQ(CheckDataVersion(h.context), DataFileCheck::Refused);
    } else {
        EXPECT_THROW(CheckDataVersion(h.context), WorkbookError);
    }

    const bool started = c.setup != NoEntrySheet; // a file of neither layout gets no backup
    EXPECT_EQ(h.styles, started ? std::vector<int>{kPrompt} : std::vector<int>{});
    EXPECT_EQ(ReadBytes(data), original);
    EXPECT_EQ(BytesOrNothing(dir / kBackupName), started ? original : Bytes{});
    EXPECT_EQ(FileNames(dir.path()).size(), started ? 2u : 1u);
    EXPECT_EQ(h.progressClosed, started ? 1 : 0);
    EXPECT_EQ(c.cancelAfter ? h.progress.size() : 0, c.cancelAfter) << "copied after the cancel";
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedConversion, testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

// Saving the converted rows fails, and so does the look for "tmp" before the
// backup is put back: both failures are told, the backup named.
TEST(ConversionFailure, ABackupNotPutBackIsReportedToo) {
    TempDir dir;
    WriteXlsFile(OldDataWorkbook(OldRows(2)), dir / "bm.xls");
    Harness h(dir / "bm.xls");
    std::tie(h.failSave, h.failOpen) = std::pair(2, 5);
    EXPECT_THAT([&] { CheckDataVersion(h.context); },
                testing::ThrowsMessage<WorkbookError>(testing::AllOf(
                    testing::HasSubstr("bm.xls」\r\n"), testing::HasSubstr(kBackupName))));
}

} // namespace
} // namespace tomorine::test
