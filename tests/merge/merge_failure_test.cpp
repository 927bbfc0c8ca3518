// All or nothing: every failure leaves the data file byte for byte as it was
// and no file beside it; a reference that is the data file is refused.
#include "merge/merge_checks.h"
#include "merge/merge_engine.h"
#include "merge/merge_messages.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"
#include "upgrade_fixture.h"

#include <functional>
#include <gmock/gmock.h>
#include <limits>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

struct FailureCase {
    const char* name;
    std::function<void(const fs::path& data, const fs::path& reference, Harness&)> prepare;
    WorkbookFault number;
    const char* names; // what the description names
};

class MergeFailureTest : public ::testing::TestWithParam<FailureCase> {};

// The read-only case runs again as an unprivileged user in test_merge_read_only.
TEST_P(MergeFailureTest, LeavesTheDataFileAsItWas) {
    const FailureCase& c = GetParam();
    if (std::string(c.name).starts_with("ReadOnly") && ::geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not stop root";
    }
    TempDir dir;
    const fs::path data = dir / "bm.xls", reference = dir / "ref.xls";
    WriteDataBook(data, {EntryRow(1, kPage)});
    WriteDataBook(reference, {EntryRow(1, kNew), EntryRow(2, kPage)});
    Harness harness(data);
    c.prepare(data, reference, harness);
    const auto before = BytesOrNothing(data);
    const auto files = FileNames(dir.path());
    try {
        MergeReferenceData(harness.context, reference);
        ADD_FAILURE() << "no failure";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.fault(), c.number) << e.what();
        EXPECT_THAT(e.what(), ::testing::HasSubstr(c.names));
    }
    EXPECT_EQ(BytesOrNothing(data), before);
    EXPECT_EQ(FileNames(dir.path()), files);
    EXPECT_TRUE(harness.texts.empty());
}

const FailureCase kFailures[] = {
    {"ReferenceOfTheOlderLayout",
     [](auto&, const fs::path& r, auto&) { WriteXlsFile(OldDataWorkbook(OldRows(2)), r); },
     WorkbookFault::FieldNotFound, "「URL5」"},
    {"DataFileWithoutEntrySheet",
     [](const fs::path& d, auto&, auto&) { // no entry sheet
         Workbook book;
         book.addSheet(u"Sheet1");
         WriteXlsFile(book, d);
     },
     WorkbookFault::SheetNotFound, "トモリネ"},
    {"ReadOnlyDataFile",
     [](const fs::path& d, auto&, auto&) { fs::permissions(d, fs::perms::owner_read); },
     WorkbookFault::PermissionDenied, "bm.xls"},
    {"SaveFails", [](auto&, auto&, Harness& h) { h.failSave = 1; }, WorkbookFault::FileAccess,
     "bm.xls"},
    {"SerialsExhausted",
     [](const fs::path& d, auto&, auto&) {
         WriteDataBook(d, {EntryRow(std::numeric_limits<std::int32_t>::max(), kPage)});
     },
     WorkbookFault::SheetRule, "シリアル番号"},
    {"SheetFull",
     [](const fs::path& d, auto&, auto&) {
         // Room for the first new entry, not the second.
         Workbook book = DataBook({});
         for (int row = 3; row < Sheet::MaxRows; ++row) {
             book.sheet(1).appendRow({Cell::number(row), Cell::text(u"u")});
         }
         WriteXlsFile(book, d);
     },
     WorkbookFault::SheetRule, "65536"}};

INSTANTIATE_TEST_SUITE_P(Stages, MergeFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SameFileRefusal, RefusesTheDataFileByAnyNameAndItsNameOnly) {
    const std::tuple<const char*, const char*, std::optional<std::u16string_view>> cases[] = {
        {"/data/bm.xls", "/data/bm.xls", MergeMessages::SamePath},
        {"/data/bm.xls", "/old/bm.xls", MergeMessages::SameFileName},
        {"/data/bm.xls", "/data/BM.xls", std::nullopt},     // letter case counts
        {"/bm.xls", "/other.xls", MergeMessages::SamePath}, // root: both split into empty parts
    };
    for (const auto& [data, reference, refusal] : cases) {
        EXPECT_EQ(SameFileRefusal(data, reference), refusal) << data << " " << reference;
    }
    TempDir dir;
    WriteText(dir / "bm.xls", "data");
    std::filesystem::create_symlink(dir / "bm.xls", dir / "link.xls");
    std::filesystem::create_hard_link(dir / "bm.xls", dir / "second.xls");
    for (const char* other : {"link.xls", "second.xls"}) {
        EXPECT_EQ(SameFileRefusal((dir / "bm.xls").string(), (dir / other).string()),
                  MergeMessages::SamePath)
            << other;
    }
}

} // namespace
} // namespace tomorine::test
