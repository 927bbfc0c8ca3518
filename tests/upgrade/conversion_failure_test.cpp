// A conversion that fails or is cancelled at any step: afterwards the data
// file is the backup byte for byte, never something in between.
#include "store/data_workbook.h"
#include "store/message_style.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "upgrade/conversion.h"
#include "upgrade/data_version.h"
#include "upgrade_fixture.h"

#include <gtest/gtest.h>
#include <optional>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::Harness;
using test::TempDir;
using Bytes = std::vector<std::uint8_t>;

constexpr int kPrompt = MessageStyle::OkCancelExclamation;
constexpr int kCritical = MessageStyle::Critical;
const char kBackupName[] = "bmバックアップ_____VER0104.xls";

Workbook OldWithLeftoverTmp() {
    Workbook book = test::OldDataWorkbook(test::OldRows(6));
    book.addSheet(u"tmp").setCell(1, 1, Cell::text(u"前回の残り"));
    return book;
}

struct FaultCase {
    const char* name;
    bool leftoverTmp;
    int failOpen; // n-th open through WorkbookIo, 0 never
    int failSave; // n-th save, 0 never
    int cancelAtRow;
    std::vector<int> styles;
    // The leftover "tmp" was deleted and saved before the failure: the data
    // file is the 0104 workbook without it, which is not restored (the rule
    // is: only a data file still holding "tmp").
    bool leftoverGone = false;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

// Opens, in order: DeleteTmpSheet, AddConversionSheet, GetLastUsedRow,
// ConvertEntryRows, ReplaceEntrySheet. Saves: a leftover "tmp" deleted, then
// AddConversionSheet, ConvertEntryRows, ReplaceEntrySheet.
const FaultCase kFaults[] = {
    {"DeleteTmpSheetCannotOpen", true, 1, 0, 0, {kPrompt, kCritical}},
    {"DeleteTmpSheetCannotSave", true, 0, 1, 0, {kPrompt, kCritical}},
    {"AddConversionSheetCannotOpen", false, 2, 0, 0, {kPrompt, kCritical}},
    {"AddConversionSheetCannotSave", false, 0, 1, 0, {kPrompt, kCritical}},
    {"AddConversionSheetCannotSaveAfterLeftover", true, 0, 2, 0, {kPrompt, kCritical}, true},
    {"LastUsedRowUnreadable", false, 3, 0, 0, {kPrompt, kCritical}},
    {"ConvertEntryRowsCannotOpen", false, 4, 0, 0, {kPrompt, kCritical}},
    {"ConvertEntryRowsCannotSave", false, 0, 2, 0, {kPrompt, kCritical}},
    {"ConvertEntryRowsCannotSaveAfterLeftover", true, 0, 3, 0, {kPrompt, kCritical}},
    {"ReplaceEntrySheetCannotOpen", false, 5, 0, 0, {kPrompt, kCritical}},
    {"ReplaceEntrySheetCannotSave", false, 0, 3, 0, {kPrompt, kCritical}},
    {"ReplaceEntrySheetCannotSaveAfterLeftover", true, 0, 4, 0, {kPrompt, kCritical}},
    {"CancelledAtFirstRow", false, 0, 0, 3, {kPrompt}},
    {"CancelledHalfWay", false, 0, 0, 5, {kPrompt}},
    {"CancelledAtLastRow", true, 0, 0, 8, {kPrompt}},
};

class FailedConversion : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FailedConversion, LeavesTheBackupInPlace) {
    const FaultCase& c = GetParam();
    TempDir dir;
    const fs::path data = dir / "bm.xls";
    WriteXlsFile(c.leftoverTmp ? OldWithLeftoverTmp() : test::OldDataWorkbook(test::OldRows(6)),
                 data);
    const Bytes original = test::ReadBytes(data);
    Harness h(data);
    h.faults.failOpen = c.failOpen;
    h.faults.failSave = c.failSave;
    h.recorder.onProgress = [&, row = 2](int) mutable {
        if (++row == c.cancelAtRow) {
            h.state.ConversionCancelRequested = true; // as the progress window's close does
        }
    };
    UpgradeContext context = h.context();

    EXPECT_EQ(CheckDataVersion(context), -1);

    EXPECT_EQ(h.recorder.styles(), c.styles);
    if (c.leftoverGone) {
        EXPECT_EQ(test::ReadBytes(data), WriteXlsBytes(test::OldDataWorkbook(test::OldRows(6))));
    } else {
        EXPECT_EQ(test::ReadBytes(data), original);
    }
    EXPECT_EQ(test::ReadBytes(dir / kBackupName), original);
    EXPECT_EQ(test::FileNames(dir.path()), (std::vector<std::string>{"bm.xls", kBackupName}));
    EXPECT_EQ(h.recorder.progressClosed, 1);
    if (c.cancelAtRow != 0) {
        EXPECT_EQ(h.recorder.progress.size(), static_cast<size_t>(c.cancelAtRow - 2))
            << "rows were copied after the cancel request";
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedConversion, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FailedConversion, NoFaultConvertsTheSameFixtures) {
    for (bool leftover : {false, true}) {
        TempDir dir;
        WriteXlsFile(leftover ? OldWithLeftoverTmp() : test::OldDataWorkbook(test::OldRows(6)),
                     dir / "bm.xls");
        Harness h(dir / "bm.xls");
        UpgradeContext context = h.context();
        EXPECT_EQ(CheckDataVersion(context), 0);
        EXPECT_EQ(h.faults.opens, 5);
        EXPECT_EQ(h.faults.saves, leftover ? 4 : 3);
        Workbook book = ReadXlsFile(dir / "bm.xls");
        EXPECT_EQ(book.sheetCount(), 1);
        EXPECT_EQ(book.sheet(1).lastUsedRow(), 8);
    }
}

// An old backup that no longer matches the data file (the file was changed
// by another program since) must not be what a failed conversion restores:
// the backup is brought up to date before the conversion writes anything.
TEST(FailedConversion, StaleBackupIsRefreshedBeforeConverting) {
    TempDir dir;
    WriteXlsFile(test::OldDataWorkbook(test::OldRows(2)), dir / kBackupName);
    WriteXlsFile(test::OldDataWorkbook(test::OldRows(7)), dir / "bm.xls");
    const Bytes current = test::ReadBytes(dir / "bm.xls");
    Harness h(dir / "bm.xls");
    h.faults.failSave = 2;
    UpgradeContext context = h.context();

    EXPECT_EQ(CheckDataVersion(context), -1);

    EXPECT_EQ(test::ReadBytes(dir / "bm.xls"), current);
    EXPECT_EQ(test::ReadBytes(dir / kBackupName), current);
}

TEST(FailedConversion, DeclinedStaleBackupIsLeftAlone) {
    TempDir dir;
    WriteXlsFile(test::OldDataWorkbook(test::OldRows(2)), dir / kBackupName);
    WriteXlsFile(test::OldDataWorkbook(test::OldRows(7)), dir / "bm.xls");
    const Bytes backup = test::ReadBytes(dir / kBackupName);
    Harness h(dir / "bm.xls");
    h.recorder.answers = {AnswerCancel};
    UpgradeContext context = h.context();

    EXPECT_EQ(CheckDataVersion(context), 0);
    EXPECT_EQ(test::ReadBytes(dir / kBackupName), backup);
}

TEST(FailedConversion, WorkbookWithoutEntrySheetIsRefused) {
    TempDir dir;
    Workbook book = test::OldDataWorkbook(test::OldRows(2));
    book.renameSheet(book.sheet(1), u"Sheet1");
    WriteXlsFile(book, dir / "bm.xls");
    const Bytes original = test::ReadBytes(dir / "bm.xls");
    Harness h(dir / "bm.xls");
    UpgradeContext context = h.context();

    EXPECT_EQ(CheckDataVersion(context), -1);

    EXPECT_EQ(h.recorder.styles(), std::vector<int>{kCritical});
    EXPECT_EQ(test::ReadBytes(dir / "bm.xls"), original);
    EXPECT_EQ(test::FileNames(dir.path()), std::vector<std::string>{"bm.xls"});
}

// Each step on its own, on a workbook it cannot work with: false (0 for the
// row count), one critical message, the file untouched.
struct StepCase {
    const char* name;
    std::function<Workbook()> book;
    std::function<bool(UpgradeContext&)> step;
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.name;
}

Workbook NoEntrySheet() {
    Workbook book;
    book.addSheet(u"tmp");
    book.addSheet(u"Sheet1");
    return book;
}

const StepCase kSteps[] = {
    {"AddConversionSheetWithoutEntrySheet", NoEntrySheet, AddConversionSheet},
    {"AddConversionSheetWithTmpPresent", OldWithLeftoverTmp, AddConversionSheet},
    {"LastUsedRowWithoutEntrySheet", NoEntrySheet,
     [](UpgradeContext& c) { return GetLastUsedRow(c) != 0; }},
    {"ConvertEntryRowsWithoutTmp", [] { return test::OldDataWorkbook(test::OldRows(2)); },
     ConvertEntryRows},
    {"ConvertEntryRowsWithoutEntrySheet", NoEntrySheet, ConvertEntryRows},
    {"ReplaceEntrySheetWithoutTmp", [] { return test::OldDataWorkbook(test::OldRows(2)); },
     ReplaceEntrySheet},
    {"ReplaceEntrySheetWithoutEntrySheet", NoEntrySheet, ReplaceEntrySheet},
    {"AddConversionSheetNotAWorkbook", nullptr, AddConversionSheet},
};

class StepOnWrongWorkbook : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepOnWrongWorkbook, FailsOnceAndWritesNothing) {
    TempDir dir;
    if (GetParam().book) {
        WriteXlsFile(GetParam().book(), dir / "bm.xls");
    } else {
        test::WriteBytes(dir / "bm.xls", {'x'});
    }
    const Bytes original = test::ReadBytes(dir / "bm.xls");
    Harness h(dir / "bm.xls");
    UpgradeContext context = h.context();

    EXPECT_FALSE(GetParam().step(context));

    EXPECT_EQ(h.recorder.styles(), std::vector<int>{kCritical});
    EXPECT_EQ(test::ReadBytes(dir / "bm.xls"), original);
    EXPECT_EQ(h.faults.saves, 0);
    EXPECT_EQ(test::FileNames(dir.path()), std::vector<std::string>{"bm.xls"});
}

INSTANTIATE_TEST_SUITE_P(Cases, StepOnWrongWorkbook, ::testing::ValuesIn(kSteps),
                         [](const auto& info) { return std::string(info.param.name); });

// Real failures of the file system rather than injected ones.

// The folder cannot be written: the first step that saves fails, and the
// data file, never written, still equals its backup.
TEST(RealFailure, ReadOnlyFolder) {
    if (test::RunningAsRoot()) {
        GTEST_SKIP() << "permission bits do not stop root; runs unprivileged";
    }
    for (bool leftover : {false, true}) {
        SCOPED_TRACE(leftover ? "with a leftover tmp" : "without a leftover tmp");
        TempDir dir;
        fs::create_directory(dir / "ro");
        const fs::path data = dir / "ro" / "bm.xls";
        WriteXlsFile(leftover ? OldWithLeftoverTmp() : test::OldDataWorkbook(test::OldRows(6)),
                     data);
        fs::copy_file(data, dir / "ro" / kBackupName);
        const Bytes original = test::ReadBytes(data);
        fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
        Harness h(data);
        UpgradeContext context = h.context();

        EXPECT_EQ(CheckDataVersion(context), -1);

        ASSERT_EQ(h.recorder.styles(), (std::vector<int>{kPrompt, kCritical}));
        EXPECT_NE(h.recorder.messages[1].text.find(u"bm.xls"), std::u16string::npos);
        EXPECT_EQ(test::ReadBytes(data), original);
        EXPECT_EQ(test::FileNames(dir / "ro"), (std::vector<std::string>{"bm.xls", kBackupName}));
    }
}

// A stale backup cannot be brought up to date: nothing is converted.
TEST(RealFailure, ReadOnlyFolderWithStaleBackup) {
    if (test::RunningAsRoot()) {
        GTEST_SKIP() << "permission bits do not stop root; runs unprivileged";
    }
    TempDir dir;
    fs::create_directory(dir / "ro");
    WriteXlsFile(test::OldDataWorkbook(test::OldRows(2)), dir / "ro" / kBackupName);
    WriteXlsFile(test::OldDataWorkbook(test::OldRows(5)), dir / "ro" / "bm.xls");
    const Bytes data = test::ReadBytes(dir / "ro" / "bm.xls");
    const Bytes backup = test::ReadBytes(dir / "ro" / kBackupName);
    fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    Harness h(dir / "ro" / "bm.xls");
    UpgradeContext context = h.context();

    EXPECT_EQ(CheckDataVersion(context), -1);

    EXPECT_EQ(h.recorder.styles(), (std::vector<int>{kPrompt, kCritical}));
    EXPECT_EQ(test::ReadBytes(dir / "ro" / "bm.xls"), data);
    EXPECT_EQ(test::ReadBytes(dir / "ro" / kBackupName), backup);
    EXPECT_EQ(h.faults.opens, 0) << "a conversion step ran";
}

// No backup can be made in a read-only folder: nothing is converted.
TEST(RealFailure, ReadOnlyFolderWithoutBackup) {
    if (test::RunningAsRoot()) {
        GTEST_SKIP() << "permission bits do not stop root; runs unprivileged";
    }
    TempDir dir;
    fs::create_directory(dir / "ro");
    const fs::path data = dir / "ro" / "bm.xls";
    WriteXlsFile(test::OldDataWorkbook(test::OldRows(2)), data);
    const Bytes original = test::ReadBytes(data);
    fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    Harness h(data);
    UpgradeContext context = h.context();

    EXPECT_EQ(CheckDataVersion(context), -1);

    EXPECT_EQ(h.recorder.styles(), std::vector<int>{kCritical});
    EXPECT_EQ(test::ReadBytes(data), original);
    EXPECT_EQ(test::FileNames(dir / "ro"), std::vector<std::string>{"bm.xls"});
}

// The row copy's save runs into the file size limit (a full disk, as far as
// the program can tell): the work sheet is in the data file by then, so the
// backup is put back.
TEST(RealFailure, FileSizeLimitDuringTheRowCopy) {
    TempDir dir;
    const fs::path data = dir / "bm.xls";
    WriteXlsFile(test::OldDataWorkbook(test::OldRows(300)), data);
    const Bytes original = test::ReadBytes(data);

    // The sizes each step writes, from a run without a limit on a copy.
    fs::create_directory(dir / "trial");
    fs::copy_file(data, dir / "trial" / "bm.xls");
    std::vector<std::uintmax_t> sizes;
    {
        Harness trial(dir / "trial" / "bm.xls");
        UpgradeContext context = trial.context();
        context.io.save = [&](const Workbook& book, const fs::path& path) {
            WriteXlsFile(book, path);
            sizes.push_back(fs::file_size(path));
        };
        ASSERT_EQ(CheckDataVersion(context), 0);
    }
    ASSERT_EQ(sizes.size(), 3u);
    ASSERT_LT(sizes[0], sizes[1]);
    ASSERT_LT(original.size(), sizes[0]);

    Harness h(data);
    UpgradeContext context = h.context();
    int result;
    {
        test::FileSizeLimit limit((sizes[0] + sizes[1]) / 2);
        result = CheckDataVersion(context);
    }

    EXPECT_EQ(result, -1);
    EXPECT_EQ(h.recorder.styles(), (std::vector<int>{kPrompt, kCritical}));
    EXPECT_EQ(h.recorder.progress.back(), 100);
    EXPECT_EQ(test::ReadBytes(data), original);
    EXPECT_EQ(test::ReadBytes(dir / kBackupName), original);
    EXPECT_EQ(test::FileNames(dir.path()),
              (std::vector<std::string>{"bm.xls", kBackupName, "trial"}));
}

} // namespace
} // namespace tomorine
