// Which reference entries the merge adds and how, against outcomes written by
// hand and a reference written by xlwt; and all or nothing: every failure
// leaves the data file byte for byte as it was and no file beside it, and a
// reference that is the data file is refused.
#include "merge/merge_checks.h"
#include "merge/merge_engine.h"
#include "merge/merge_messages.h"
#include "store/files/data_file_lock.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"
#include "upgrade_fixture.h"

#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <limits>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

// xlrd reads in `file` the cells of a data workbook of `rows`, and no others.
void ExpectRows(const fs::path& file, const std::vector<Sheet::Row>& rows) {
    EXPECT_TRUE(SameAsXlrd(DataBook(rows), XlrdValues(file)));
}

const Texts kPageWithSubtitle{
    {u"URL1", u"https://example.jp/"}, {u"タイトル1", u"例"}, {u"サブタイトル1", u"副題"}};
const Texts kOtherTitle{{u"URL1", u"https://example.jp/"}, {u"タイトル1", u"別"}};
const Texts kUrlOnly{{u"URL1", u"https://example.jp/"}};
const Texts kQuote{{u"URL1", u"https://q.example/"}, {u"タイトル1", u"it's 'quoted'"}};

// Chunks as stored, not as the register command cuts them.
const Texts kOddChunks{{u"URL1", u"https://exa"},
                       {u"URL2", u"mple.jp/" + std::u16string(130, u'x')},
                       {u"タイトル1", u"題\t"},
                       {u"コメント3", u"三つ目だけ  "}};

// A value never matches an empty cell of the data file; serials follow the highest, in reference
// order; deleted entries come back live; the data file's lock is held from the read to the save.
TEST(MergeTest, AddsExactlyTheEntriesTheDataFileDoesNotHold) {
    TempDir dir;
    WriteDataBook(dir / "bm.xls", {EntryRow(41, kPage), EntryRow(7, kUrlOnly)});
    WriteDataBook(dir / "ref.xls", {EntryRow(900, kNew), EntryRow(3, kQuote), EntryRow(3, kPage),
                                    EntryRow(1, kOddChunks, 1), EntryRow(2, kPageWithSubtitle)});
    Harness harness(dir / "bm.xls");
    std::vector<bool> held;
    auto open = harness.context.io.open;
    harness.context.io.open = [&](const fs::path& path) {
        held.push_back(DataFileLock::HeldByThisThread(dir / "bm.xls"));
        return open(path);
    };
    auto save = harness.context.io.save;
    harness.context.io.save = [&](const Workbook& book, const fs::path& path) {
        save(book, path);
        held.push_back(DataFileLock::HeldByThisThread(path));
    };
    EXPECT_EQ(MergeReferenceData(harness.context, dir / "ref.xls").added, 4);
    EXPECT_EQ(held, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(DataFileLock::HeldByThisThread(dir / "bm.xls"));
    ExpectRows(dir / "bm.xls",
               {EntryRow(41, kPage), EntryRow(7, kUrlOnly), EntryRow(42, kNew),
                EntryRow(43, kQuote), EntryRow(44, kOddChunks), EntryRow(45, kPageWithSubtitle)});
    EXPECT_TRUE(harness.texts.empty());
}

TEST(MergeTest, MergesAReferenceWrittenByXlwt) {
    TempDir dir;
    WriteDataBook(dir / "bm.xls", {EntryRow(1, kPageWithSubtitle), EntryRow(2, kQuote)});
    const fs::path ref = dir / "ref.xls";
    std::ofstream(ref.string() + ".json")
        << ValuesOf(DataBook({EntryRow(1, kPage), EntryRow(2, kNew), EntryRow(3, kOtherTitle),
                              EntryRow(4, kQuote), EntryRow(5, kNew)}))
               .dump();
    ASSERT_EQ(std::system(("/usr/bin/python3 " TOMORINE_XLWT_WRITER " " + ref.string()).c_str()),
              0);
    const auto reference = ReadBytes(ref);
    Harness harness(dir / "bm.xls");
    EXPECT_EQ(MergeReferenceData(harness.context, ref).added, 3);
    EXPECT_EQ(ReadBytes(ref), reference); // only read
    ExpectRows(dir / "bm.xls", {EntryRow(1, kPageWithSubtitle), EntryRow(2, kQuote),
                                EntryRow(3, kNew), EntryRow(4, kOtherTitle), EntryRow(5, kNew)});
}

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
