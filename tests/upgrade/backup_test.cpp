// The backup beside the data file: made, offered for recovery, put back.
#include "store/message_style.h"
#include "support/temp_dir.h"
#include "upgrade/backup.h"
#include "upgrade_fixture.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr int kOk = AnswerOk;
constexpr int kCritical = MessageStyle::Critical;
constexpr int kPrompt = MessageStyle::OkCancelExclamation;
const char kBackupName[] = "bmバックアップ_____VER0104.xls";

TEST(CheckBackupAndRecover, GivesItsCodeAndTouchesOnlyWhatItSays) {
    // Afterwards: 'd' the data file's bytes before, 'b' the backup's, '-' missing.
    const struct {
        const char* name;
        FileContent data, backup;
        int answer; // to the recovery prompt
        int code;
        std::vector<int> styles;
        char dataAfter, backupAfter;
    } cases[] = {
        {"converted earlier", New, Old, kOk, 0, {}, 'd', 'b'},
        {"old with backup", Old, Old, kOk, 1, {}, 'd', 'b'},
        {"current", New, Missing, kOk, 2, {}, 'd', '-'},
        {"old, backed up now", Old, Missing, kOk, 3, {}, 'd', 'd'},
        {"recovery accepted", Missing, Old, kOk, 4, {kPrompt}, 'b', 'b'},
        {"recovery declined", Missing, Old, AnswerCancel, -1, {kPrompt}, '-', 'b'},
        {"neither", Missing, Missing, kOk, 5, {}, '-', '-'},
        {"not a workbook", Garbage, Old, kOk, -1, {kCritical}, 'd', 'b'},
        {"backup copy fails", Old, Folder, kOk, -1, {kCritical}, 'd', '-'},
        {"recovery copy fails", Folder, Old, kOk, -1, {kPrompt, kCritical}, '-', 'b'},
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

        EXPECT_EQ(CheckBackupAndRecover(h.context), c.code);

        EXPECT_EQ(h.styles, c.styles);
        if (!c.styles.empty() && c.styles[0] == kPrompt) {
            EXPECT_EQ(h.texts[0], u"リカバリ処理をします\r\n\r\nよろしいですか？");
        }
        auto expected = [&](char what) { return what == '-' ? Bytes{} : before[what == 'b']; };
        EXPECT_EQ(BytesOrNothing(data), expected(c.dataAfter));
        EXPECT_EQ(BytesOrNothing(backup), expected(c.backupAfter));
        const size_t files = (c.data != Missing || c.dataAfter != '-') +
                             (c.backup != Missing || c.backupAfter != '-');
        EXPECT_EQ(FileNames(dir.path()).size(), files) << "a stray file was left";
    }
}

// A private data file has a private backup, and recovers as private.
TEST(CheckBackupAndRecover, CopiesKeepThePermissionsOfTheDataFile) {
    TempDir dir;
    const fs::perms mine = fs::perms::owner_read | fs::perms::owner_write;
    MakeFile(dir / "bm.xls", Old);
    fs::permissions(dir / "bm.xls", mine);
    Harness h(dir / "bm.xls");

    ASSERT_EQ(CheckBackupAndRecover(h.context), 3);
    EXPECT_EQ(fs::status(dir / kBackupName).permissions(), mine);
    fs::remove(dir / "bm.xls");
    ASSERT_EQ(CheckBackupAndRecover(h.context), 4);
    EXPECT_EQ(fs::status(dir / "bm.xls").permissions(), mine);
}

// Only after a confirmed conversion, and only over a data file that is
// missing or still holds the work sheet; false only when the copy failed.
TEST(RestoreDataBackup, PutsTheBackupBackOnlyWhenItShould) {
    const struct {
        const char* name;
        bool confirmed;
        FileContent backup, data;
        bool restored, result;
    } cases[] = {
        {"not confirmed", false, Old, WithTmp, false, true},
        {"no backup", true, Missing, WithTmp, false, true},
        {"data missing", true, Old, Missing, true, true},
        {"data with tmp", true, Old, WithTmp, true, true},
        {"data converted", true, Old, New, false, true},
        {"data unreadable", true, Old, Garbage, false, true},
        {"copy fails", true, Old, Folder, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        MakeFile(dir / kBackupName, c.backup);
        MakeFile(dir / "bm.xls", c.data);
        const Bytes before = BytesOrNothing(dir / "bm.xls");
        Harness h(dir / "bm.xls");
        h.state.ConversionConfirmed = c.confirmed;

        EXPECT_EQ(RestoreDataBackup(h.context), c.result);

        const Bytes after = c.restored ? BytesOrNothing(dir / kBackupName) : before;
        EXPECT_EQ(BytesOrNothing(dir / "bm.xls"), after);
        EXPECT_TRUE(h.styles.empty());
    }
}

} // namespace
} // namespace tomorine::test
