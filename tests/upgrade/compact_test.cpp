// The re-save at exit: the data file is replaced whole or left as it was.
#include "store/data_workbook.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "upgrade/compact.h"
#include "upgrade_fixture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::Harness;
using test::TempDir;
using Bytes = std::vector<std::uint8_t>;

const char kTempName[] = "bk_axbyczd0_bm.xls";

Workbook SomeEntries() {
    Workbook book = NewDataWorkbook();
    book.sheet(1).setCell(3, 1, Cell::number(1));
    book.sheet(1).setCell(3, 2, Cell::text(u"https://例え.jp/"));
    book.addSheet(u"メモ").setCell(1, 1, Cell::text(u"残す"));
    return book;
}

ino_t Inode(const fs::path& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_ino;
}

class Compact : public ::testing::Test {
protected:
    Compact() : data(dir / "bm.xls"), h(data) { h.state.DataChanged = true; }

    void Run() {
        UpgradeContext context = h.context();
        CompactDataWorkbook(context, data);
    }
    // The data file holds what it held before the re-save.
    void ExpectSameContent() {
        Workbook book = ReadXlsFile(data);
        ASSERT_EQ(book.sheetCount(), 2);
        EXPECT_EQ(book.sheet(1).cell(3, 2), Cell::text(u"https://例え.jp/"));
        EXPECT_EQ(book.sheet(2).cell(1, 1), Cell::text(u"残す"));
    }

    TempDir dir;
    fs::path data;
    Harness h;
};

TEST_F(Compact, NothingWrittenDoesNothing) {
    WriteXlsFile(SomeEntries(), data);
    test::Age(data);
    const auto time = fs::last_write_time(data);
    const Bytes before = test::ReadBytes(data);
    h.state.DataChanged = false;

    Run();

    EXPECT_EQ(fs::last_write_time(data), time);
    EXPECT_EQ(test::ReadBytes(data), before);
    EXPECT_EQ(h.faults.opens, 0);
}

TEST_F(Compact, RewritesTheFileAndLeavesNoTemporary) {
    WriteXlsFile(SomeEntries(), data);
    test::Age(data);
    const auto time = fs::last_write_time(data);
    const ino_t inode = Inode(data);

    Run();

    EXPECT_NE(Inode(data), inode) << "the file was not replaced";
    EXPECT_GT(fs::last_write_time(data), time);
    ExpectSameContent();
    EXPECT_EQ(test::FileNames(dir.path()), std::vector<std::string>{"bm.xls"});
    ASSERT_EQ(h.faults.saved.size(), 1u);
    EXPECT_EQ(h.faults.saved[0], dir / kTempName);
}

TEST_F(Compact, LeftoverTemporaryIsReplaced) {
    WriteXlsFile(SomeEntries(), data);
    test::WriteBytes(dir / kTempName, {'o', 'l', 'd'});

    Run();

    ExpectSameContent();
    EXPECT_EQ(test::FileNames(dir.path()), std::vector<std::string>{"bm.xls"});
}

TEST_F(Compact, KeepsThePermissionsOfTheDataFile) {
    WriteXlsFile(SomeEntries(), data);
    fs::permissions(data, fs::perms::owner_read | fs::perms::owner_write);

    Run();

    EXPECT_EQ(fs::status(data).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// A data file reached through a link stays reached through it.
TEST_F(Compact, WritesThroughASymbolicLink) {
    fs::create_directory(dir / "real");
    WriteXlsFile(SomeEntries(), dir / "real" / "bm.xls");
    fs::create_symlink(dir / "real" / "bm.xls", data);

    Run();

    EXPECT_TRUE(fs::is_symlink(data));
    ExpectSameContent();
    EXPECT_EQ(test::FileNames(dir / "real"), std::vector<std::string>{"bm.xls"});
    EXPECT_EQ(test::FileNames(dir.path()), (std::vector<std::string>{"bm.xls", "real"}));
}

struct FailureCase {
    const char* name;
    bool leftover;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class CompactFailure : public Compact, public ::testing::WithParamInterface<FailureCase> {};

// A save that fails while writing the temporary file.
TEST_P(CompactFailure, InjectedSaveFailureKeepsTheDataFile) {
    WriteXlsFile(SomeEntries(), data);
    if (GetParam().leftover) {
        test::WriteBytes(dir / kTempName, {'o', 'l', 'd'});
    }
    const Bytes before = test::ReadBytes(data);
    h.faults.failSave = 1;

    EXPECT_THROW(Run(), WorkbookError);

    EXPECT_EQ(test::ReadBytes(data), before);
    EXPECT_EQ(test::FileNames(dir.path()), std::vector<std::string>{"bm.xls"});
}

TEST_P(CompactFailure, FileSizeLimitKeepsTheDataFile) {
    WriteXlsFile(SomeEntries(), data);
    if (GetParam().leftover) {
        test::WriteBytes(dir / kTempName, {'o', 'l', 'd'});
    }
    const Bytes before = test::ReadBytes(data);

    try {
        test::FileSizeLimit limit(before.size() / 2);
        Run();
        ADD_FAILURE() << "the re-save was reported as done";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.description()).find(kTempName), std::string::npos)
            << e.description();
    }

    EXPECT_EQ(test::ReadBytes(data), before);
    EXPECT_EQ(test::FileNames(dir.path()), std::vector<std::string>{"bm.xls"});
}

TEST_P(CompactFailure, ReadOnlyFolderKeepsTheDataFile) {
    if (test::RunningAsRoot()) {
        GTEST_SKIP() << "permission bits do not stop root; runs unprivileged";
    }
    WriteXlsFile(SomeEntries(), data);
    if (GetParam().leftover) {
        test::WriteBytes(dir / kTempName, {'o', 'l', 'd'});
    }
    const Bytes before = test::ReadBytes(data);
    const std::vector<std::string> names = test::FileNames(dir.path());
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);

    EXPECT_THROW(Run(), WorkbookError);

    EXPECT_EQ(test::ReadBytes(data), before);
    EXPECT_EQ(test::FileNames(dir.path()), names) << "nothing can be removed here either";
}

INSTANTIATE_TEST_SUITE_P(Cases, CompactFailure,
                         ::testing::Values(FailureCase{"Fresh", false},
                                           FailureCase{"OverLeftover", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Compact, UnreadableDataFileIsLeftAsItWas) {
    test::WriteBytes(data, {'n', 'o', 't', ' ', 'x', 'l', 's'});

    EXPECT_THROW(Run(), WorkbookError);

    EXPECT_EQ(test::ReadBytes(data), (Bytes{'n', 'o', 't', ' ', 'x', 'l', 's'}));
    EXPECT_EQ(test::FileNames(dir.path()), std::vector<std::string>{"bm.xls"});
}

TEST_F(Compact, MissingDataFileIsNotCreated) {
    EXPECT_THROW(Run(), WorkbookError);
    EXPECT_TRUE(test::FileNames(dir.path()).empty());
}

struct TempPathCase {
    const char* workbook;
    const char* temp;
};

class CompactTemp : public ::testing::TestWithParam<TempPathCase> {};

// Also a data file in the root folder, or given by a bare name, gets its
// temporary file beside it.
TEST_P(CompactTemp, LiesBesideTheWorkbook) {
    EXPECT_EQ(CompactTempPath(GetParam().workbook), fs::path(GetParam().temp));
}

INSTANTIATE_TEST_SUITE_P(Paths, CompactTemp,
                         ::testing::Values(TempPathCase{"/data/bm.xls", "/data/bk_axbyczd0_bm.xls"},
                                           TempPathCase{"/bm.xls", "/bk_axbyczd0_bm.xls"},
                                           TempPathCase{"/トモリネ.xls",
                                                        "/bk_axbyczd0_トモリネ.xls"},
                                           TempPathCase{"bm.xls", "bk_axbyczd0_bm.xls"},
                                           TempPathCase{"../d/bm.xls", "../d/bk_axbyczd0_bm.xls"}));

} // namespace
} // namespace tomorine
