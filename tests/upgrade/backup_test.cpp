// The backup beside the data file: made, kept, offered for recovery, put back.
#include "store/data_workbook.h"
#include "store/message_style.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "upgrade/backup.h"
#include "upgrade/tmp_sheet.h"
#include "upgrade_fixture.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::BytesOrNothing;
using test::Harness;
using test::TempDir;
using Bytes = std::vector<std::uint8_t>;

enum class Content { Missing, New, Old, Garbage, Folder };

const std::u16string kRecoveryPrompt = u"リカバリ処理をします\r\n\r\nよろしいですか？";

void Make(const fs::path& path, Content content) {
    switch (content) {
    case Content::Missing:
        break;
    case Content::New:
        WriteXlsFile(NewDataWorkbook(), path);
        break;
    case Content::Old:
        WriteXlsFile(test::OldDataWorkbook(test::OldRows(2)), path);
        break;
    case Content::Garbage:
        test::WriteBytes(path, {'n', 'o', 't', ' ', 'x', 'l', 's'});
        break;
    case Content::Folder:
        fs::create_directory(path);
        break;
    }
}

struct RecoverCase {
    const char* name;
    Content data;
    Content backup;
    int answer; // to the recovery prompt, when one is shown
    int code;
    std::vector<int> styles; // of the messages shown
    // What the data file and the backup hold afterwards: 'd' the data file's
    // bytes before, 'b' the backup's bytes before, '-' missing.
    char dataAfter;
    char backupAfter;
};

void PrintTo(const RecoverCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr int kOk = AnswerOk;
constexpr int kCancel = AnswerCancel;
constexpr int kCritical = MessageStyle::Critical;
constexpr int kPrompt = MessageStyle::OkCancelExclamation;

const RecoverCase kRecoverCases[] = {
    {"ConvertedEarlier", Content::New, Content::Old, kOk, 0, {}, 'd', 'b'},
    {"OldWithBackup", Content::Old, Content::Old, kOk, 1, {}, 'd', 'b'},
    {"Current", Content::New, Content::Missing, kOk, 2, {}, 'd', '-'},
    {"OldBackedUpNow", Content::Old, Content::Missing, kOk, 3, {}, 'd', 'd'},
    {"RecoveryAccepted", Content::Missing, Content::Old, kOk, 4, {kPrompt}, 'b', 'b'},
    {"RecoveryDeclined", Content::Missing, Content::Old, kCancel, -1, {kPrompt}, '-', 'b'},
    {"Neither", Content::Missing, Content::Missing, kOk, 5, {}, '-', '-'},
    {"UnknownWithBackup", Content::Garbage, Content::Old, kOk, -1, {kCritical}, 'd', 'b'},
    {"UnknownWithoutBackup", Content::Garbage, Content::Missing, kOk, -1, {kCritical}, 'd', '-'},
    {"BackupCopyFails", Content::Old, Content::Folder, kOk, -1, {kCritical}, 'd', '-'},
    {"RecoveryCopyFails", Content::Folder, Content::Old, kOk, -1, {kPrompt, kCritical}, '-', 'b'},
};

class CheckBackup : public ::testing::TestWithParam<RecoverCase> {};

TEST_P(CheckBackup, GivesItsCodeAndTouchesOnlyWhatItSays) {
    const RecoverCase& c = GetParam();
    TempDir dir;
    const fs::path data = dir / "bm.xls";
    const fs::path backup = dir / "bmバックアップ_____VER0104.xls";
    Make(data, c.data);
    Make(backup, c.backup);
    const Bytes dataBefore = BytesOrNothing(data);
    const Bytes backupBefore = BytesOrNothing(backup);
    Harness h(data);
    h.recorder.answers = {c.answer};
    UpgradeContext context = h.context();

    EXPECT_EQ(CheckBackupAndRecover(context), c.code);

    EXPECT_EQ(h.recorder.styles(), c.styles);
    if (!c.styles.empty() && c.styles[0] == kPrompt) {
        EXPECT_EQ(h.recorder.messages[0].text, kRecoveryPrompt);
    }
    auto expected = [&](char what) {
        return what == 'd' ? dataBefore : what == 'b' ? backupBefore : Bytes{};
    };
    EXPECT_EQ(BytesOrNothing(data), expected(c.dataAfter));
    EXPECT_EQ(BytesOrNothing(backup), expected(c.backupAfter));
    const size_t files = (c.data != Content::Missing || c.dataAfter != '-') +
                         (c.backup != Content::Missing || c.backupAfter != '-');
    EXPECT_EQ(test::FileNames(dir.path()).size(), files) << "a stray file was left";
}

INSTANTIATE_TEST_SUITE_P(Codes, CheckBackup, ::testing::ValuesIn(kRecoverCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CheckBackup, LeavesFilesItOnlyReadsUntouched) {
    TempDir dir;
    Make(dir / "bm.xls", Content::New);
    Make(dir / "bmバックアップ_____VER0104.xls", Content::Old);
    test::Age(dir / "bm.xls");
    test::Age(dir / "bmバックアップ_____VER0104.xls");
    const auto dataTime = fs::last_write_time(dir / "bm.xls");
    const auto backupTime = fs::last_write_time(dir / "bmバックアップ_____VER0104.xls");
    Harness h(dir / "bm.xls");
    UpgradeContext context = h.context();

    EXPECT_EQ(CheckBackupAndRecover(context), 0);
    EXPECT_EQ(fs::last_write_time(dir / "bm.xls"), dataTime);
    EXPECT_EQ(fs::last_write_time(dir / "bmバックアップ_____VER0104.xls"), backupTime);
}

// A private data file has a private backup, and recovers as private.
TEST(CheckBackup, CopiesKeepThePermissionsOfTheDataFile) {
    TempDir dir;
    const fs::path data = dir / "bm.xls";
    const fs::path backup = dir / "bmバックアップ_____VER0104.xls";
    const fs::perms mine = fs::perms::owner_read | fs::perms::owner_write;
    Make(data, Content::Old);
    fs::permissions(data, mine);
    Harness h(data);
    UpgradeContext context = h.context();

    ASSERT_EQ(CheckBackupAndRecover(context), 3);
    EXPECT_EQ(fs::status(backup).permissions(), mine);

    fs::remove(data);
    ASSERT_EQ(CheckBackupAndRecover(context), 4);
    EXPECT_EQ(fs::status(data).permissions(), mine);
}

struct PathCase {
    const char* data;
    const char* backup;
};

class BackupPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(BackupPath, LiesBesideTheDataFile) {
    EXPECT_EQ(BackupFilePath(GetParam().data), fs::path(GetParam().backup));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, BackupPath,
    ::testing::Values(
        PathCase{"/data/bm.xls", "/data/bmバックアップ_____VER0104.xls"},
        PathCase{"/bm.xls", "/bmバックアップ_____VER0104.xls"},
        PathCase{"/home/u/my.data.xls", "/home/u/my.dataバックアップ_____VER0104.xls"},
        PathCase{"/home/u/データ", "/home/u/データバックアップ_____VER0104.xls"},
        PathCase{"bm.xls", "bmバックアップ_____VER0104.xls"},
        PathCase{"./sub/トモリネ.xls", "./sub/トモリネバックアップ_____VER0104.xls"}));

// RestoreDataBackup puts the backup back only after a confirmed conversion,
// and only over a data file that is missing or still holds the work sheet.
enum class DataState { Missing, WithTmp, WithoutTmp, Unreadable };

struct RestoreCase {
    const char* name;
    bool confirmed;
    bool backup;
    DataState data;
    bool restored;
};

void PrintTo(const RestoreCase& c, std::ostream* os) {
    *os << c.name;
}

const RestoreCase kRestoreCases[] = {
    {"NotConfirmedDataMissing", false, true, DataState::Missing, false},
    {"NotConfirmedWithTmp", false, true, DataState::WithTmp, false},
    {"NoBackup", true, false, DataState::WithTmp, false},
    {"DataMissing", true, true, DataState::Missing, true},
    {"DataWithTmp", true, true, DataState::WithTmp, true},
    {"DataConverted", true, true, DataState::WithoutTmp, false},
    {"DataUnreadable", true, true, DataState::Unreadable, false},
};

class Restore : public ::testing::TestWithParam<RestoreCase> {};

TEST_P(Restore, PutsTheBackupBackOnlyWhenItShould) {
    const RestoreCase& c = GetParam();
    TempDir dir;
    const fs::path data = dir / "bm.xls";
    const fs::path backup = dir / "bmバックアップ_____VER0104.xls";
    if (c.backup) {
        Make(backup, Content::Old);
    }
    Workbook withTmp = NewDataWorkbook();
    withTmp.addSheet(u"tmp");
    switch (c.data) {
    case DataState::Missing:
        break;
    case DataState::WithTmp:
        WriteXlsFile(withTmp, data);
        break;
    case DataState::WithoutTmp:
        Make(data, Content::New);
        break;
    case DataState::Unreadable:
        Make(data, Content::Garbage);
        break;
    }
    const Bytes dataBefore = BytesOrNothing(data);
    Harness h(data);
    h.state.ConversionConfirmed = c.confirmed;
    UpgradeContext context = h.context();

    EXPECT_TRUE(RestoreDataBackup(context));

    EXPECT_EQ(BytesOrNothing(data), c.restored ? BytesOrNothing(backup) : dataBefore);
    EXPECT_TRUE(h.recorder.messages.empty());
    EXPECT_EQ(test::FileNames(dir.path()).size(), size_t{c.backup} + !BytesOrNothing(data).empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, Restore, ::testing::ValuesIn(kRestoreCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Restore, AFailedCopyGivesFalseAndNoMessage) {
    TempDir dir;
    Make(dir / "bmバックアップ_____VER0104.xls", Content::Old);
    Make(dir / "bm.xls", Content::Folder);
    Harness h(dir / "bm.xls");
    h.state.ConversionConfirmed = true;
    UpgradeContext context = h.context();

    EXPECT_FALSE(RestoreDataBackup(context));
    EXPECT_TRUE(h.recorder.messages.empty());
    EXPECT_TRUE(fs::is_directory(dir / "bm.xls"));
}

TEST(TmpSheet, ProbeTellsWhetherTheWorkSheetIsThere) {
    TempDir dir;
    Harness h(dir / "bm.xls");
    UpgradeContext context = h.context();
    EXPECT_EQ(ProbeTmpSheet(context), -1);
    Make(dir / "bm.xls", Content::New);
    EXPECT_EQ(ProbeTmpSheet(context), 0);
    Workbook book = NewDataWorkbook();
    book.addSheet(u"TMP");
    WriteXlsFile(book, dir / "bm.xls");
    EXPECT_EQ(ProbeTmpSheet(context), 1);
    EXPECT_TRUE(h.recorder.messages.empty());
}

TEST(TmpSheet, DeleteRemovesItAndKeepsTheRest) {
    TempDir dir;
    Workbook book = test::OldDataWorkbook(test::OldRows(2));
    book.addSheet(u"tmp", 1).setCell(1, 1, Cell::text(u"途中"));
    book.addSheet(u"メモ").setCell(1, 1, Cell::text(u"残す"));
    WriteXlsFile(book, dir / "bm.xls");
    Harness h(dir / "bm.xls");
    UpgradeContext context = h.context();

    EXPECT_TRUE(DeleteTmpSheet(context));

    Workbook after = ReadXlsFile(dir / "bm.xls");
    ASSERT_EQ(after.sheetCount(), 2);
    EXPECT_EQ(after.sheet(1).name(), u"トモリネ");
    EXPECT_EQ(after.sheet(2).name(), u"メモ");
    EXPECT_EQ(after.sheet(1).lastUsedRow(), 4);
    EXPECT_TRUE(h.recorder.messages.empty());
}

TEST(TmpSheet, DeleteWithoutOneSavesNothing) {
    TempDir dir;
    Make(dir / "bm.xls", Content::Old);
    test::Age(dir / "bm.xls");
    const auto time = fs::last_write_time(dir / "bm.xls");
    Harness h(dir / "bm.xls");
    UpgradeContext context = h.context();

    EXPECT_TRUE(DeleteTmpSheet(context));
    EXPECT_EQ(fs::last_write_time(dir / "bm.xls"), time);
    EXPECT_EQ(h.faults.saves, 0);
    EXPECT_TRUE(h.recorder.messages.empty());
}

TEST(TmpSheet, DeleteReportsAFailureOnce) {
    TempDir dir;
    Make(dir / "bm.xls", Content::Garbage);
    Harness h(dir / "bm.xls");
    UpgradeContext context = h.context();

    EXPECT_FALSE(DeleteTmpSheet(context));
    EXPECT_EQ(h.recorder.styles(), std::vector<int>{kCritical});
}

} // namespace
} // namespace tomorine
