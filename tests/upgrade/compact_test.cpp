// The re-save at exit: the data file is replaced whole or left as it was.
#include "store/workbook/workbook_error.h"
#include "support/temp_dir.h"
#include "upgrade/compact.h"
#include "upgrade_fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const char kTempName[] = "bk_axbyczd0_bm.xls";

class Compact : public testing::Test {
protected:
    Compact() {
        MakeFile(data, Old);
        before = ReadBytes(data); // the writer gives the same bytes again
        h.state.DataChanged = true;
    }
    void Run() { CompactDataWorkbook(h.context, data); }
    void ExpectRefused() {
        EXPECT_THROW(Run(), WorkbookError);
        EXPECT_EQ(ReadBytes(data), before);
        EXPECT_EQ(FileNames(dir.path()), Names{"bm.xls"}) << "a temporary file was left";
    }

    TempDir dir;
    fs::path data = dir / "bm.xls";
    std::vector<std::uint8_t> before;
    Harness h{data};
};

TEST_F(Compact, NothingWrittenSinceStartUpTouchesNothing) {
    h.state.DataChanged = false;
    Run();
    EXPECT_EQ(h.opens + h.saves, 0);
    EXPECT_EQ(ReadBytes(data), before);
}

TEST_F(Compact, LeftoverTemporaryFileIsReplacedAndRemoved) {
    WriteBytes(dir / kTempName, {'o', 'l', 'd'});
    Run();
    EXPECT_EQ(h.saves, 1);
    EXPECT_EQ(ReadBytes(data), before);
    EXPECT_EQ(FileNames(dir.path()), Names{"bm.xls"});
}

TEST_F(Compact, KeepsThePermissionsOfTheDataFile) {
    fs::permissions(data, fs::perms::owner_read | fs::perms::owner_write);
    Run();
    EXPECT_EQ(fs::status(data).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// A data file reached through a link stays reached through it.
TEST_F(Compact, WritesThroughASymbolicLink) {
    fs::rename(data, dir / "real.xls");
    fs::create_symlink("real.xls", data);
    Run();
    EXPECT_TRUE(fs::is_symlink(data));
    EXPECT_EQ(ReadBytes(dir / "real.xls"), before);
    EXPECT_EQ(FileNames(dir.path()), (Names{"bm.xls", "real.xls"}));
}

TEST_F(Compact, FailedSaveOverALeftoverKeepsTheDataFileAndRemovesTheTemporary) {
    WriteBytes(dir / kTempName, {'o', 'l', 'd'});
    h.failSave = 1;
    ExpectRefused();
}

// Permission bits do not stop root: these run when ctest repeats them as nobody.
TEST_F(Compact, ReadOnlyFolderKeepsTheDataFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "runs unprivileged";
    }
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    ExpectRefused();
}

TEST_F(Compact, ReadOnlyDataFileIsNotReplaced) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "runs unprivileged";
    }
    fs::permissions(data, fs::perms::owner_read);
    ExpectRefused();
    EXPECT_EQ(fs::status(data).permissions(), fs::perms::owner_read);
}

} // namespace
} // namespace tomorine::test
