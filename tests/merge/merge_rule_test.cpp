// Which reference entries the merge adds, and how: a table of rows with the
// outcome written by hand, serials, chunks as stored, a reference written by
// xlwt.
#include "merge/merge_engine.h"
#include "merge_fixture.h"
#include "store/entry.h"
#include "store/files/data_file_lock.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"
#include "upgrade_fixture.h"

#include <fstream>
#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

struct RuleCase {
    const char* name;
    std::vector<Texts> data;      // serials 1, 2 …
    std::vector<Texts> reference; // serials 100, 101 …
    std::vector<int> added;       // indexes into `reference`, in the order added
};

std::vector<Sheet::Row> Rows(const std::vector<Texts>& texts, int firstSerial) {
    std::vector<Sheet::Row> rows;
    for (const Texts& t : texts) {
        rows.push_back(EntryRow(firstSerial + static_cast<int>(rows.size()), t));
    }
    return rows;
}

class DuplicateRuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(DuplicateRuleTest, AddsExactlyTheEntriesTheDataFileDoesNotHold) {
    const RuleCase& c = GetParam();
    TempDir dir;
    WriteDataBook(dir / "bm.xls", Rows(c.data, 1));
    WriteDataBook(dir / "ref.xls", Rows(c.reference, 100));
    Harness harness(dir / "bm.xls");

    MergeResult result = MergeReferenceData(harness.context, dir / "ref.xls");

    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.added, static_cast<int>(c.added.size()));
    std::vector<StoredEntry> expected;
    for (size_t i = 0; i < c.data.size(); ++i) {
        expected.push_back({static_cast<std::int32_t>(i) + 1, c.data[i], 0});
    }
    for (size_t i = 0; i < c.added.size(); ++i) {
        expected.push_back(
            {static_cast<std::int32_t>(c.data.size() + i) + 1, c.reference[c.added[i]], 0});
    }
    EXPECT_EQ(StoredEntries(dir / "bm.xls"), expected);
    EXPECT_EQ(ReadXlsFile(dir / "bm.xls").sheetCount(), 1);
    EXPECT_TRUE(harness.texts.empty());
}

const Texts kPage{{u"URL1", u"https://example.jp/"}, {u"タイトル1", u"例"}};
const Texts kPageWithSubtitle{
    {u"URL1", u"https://example.jp/"}, {u"タイトル1", u"例"}, {u"サブタイトル1", u"副題"}};
const Texts kOtherTitle{{u"URL1", u"https://example.jp/"}, {u"タイトル1", u"別"}};
const Texts kNew{{u"URL1", u"https://new.example/"}, {u"タイトル1", u"新"}};
const Texts kUrlOnly{{u"URL1", u"https://example.jp/"}};
const Texts kQuote{{u"URL1", u"https://q.example/"}, {u"タイトル1", u"it's 'quoted'"}};
const Texts kDummyTexts{{u"URL1", u"dummy"}, {u"タイトル1", u"ダミー"}};

INSTANTIATE_TEST_SUITE_P(
    Rows, DuplicateRuleTest,
    ::testing::Values(
        RuleCase{"AllPresentAddsNothing", {kPage, kNew}, {kNew, kPage}, {}},
        RuleCase{"SameUrlOtherTitleIsAdded", {kPage}, {kOtherTitle}, {0}},
        RuleCase{"NullInReferenceMatchesAnyValue", {kPageWithSubtitle}, {kPage, kUrlOnly}, {}},
        RuleCase{"ValueNeverMatchesNullInData", {kPage}, {kPageWithSubtitle}, {0}},
        RuleCase{"AllNullReferenceRowCountsAsPresent", {}, {Texts{}}, {}},
        RuleCase{"TwoEqualNewRowsAreBothAdded", {kPage}, {kNew, kPage, kNew}, {0, 2}},
        RuleCase{"EmptyDataFileTakesEverything", {}, {kPage, kQuote}, {0, 1}},
        // Its Null columns match the dummy row's texts: the dummy row holds it.
        RuleCase{"PartOfTheDummyTextsIsPresent", {}, {kDummyTexts}, {}},
        RuleCase{"ApostrophesArriveUnchanged", {kPage}, {kQuote}, {0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MergeTest, SerialsFollowTheHighestInReferenceOrder) {
    TempDir dir;
    WriteDataBook(dir / "bm.xls", {EntryRow(41, kPage), EntryRow(7, kUrlOnly)});
    WriteDataBook(dir / "ref.xls",
                  {EntryRow(900, kNew), EntryRow(3, kQuote), EntryRow(3, kPage),
                   EntryRow(1, kOtherTitle, 1)}); // a deleted reference entry comes back live
    Harness harness(dir / "bm.xls");
    EXPECT_EQ(MergeReferenceData(harness.context, dir / "ref.xls").added, 3);
    std::vector<StoredEntry> entries = StoredEntries(dir / "bm.xls");
    ASSERT_EQ(entries.size(), 5U);
    EXPECT_EQ(entries[2], (StoredEntry{42, kNew, 0}));
    EXPECT_EQ(entries[3], (StoredEntry{43, kQuote, 0}));
    EXPECT_EQ(entries[4], (StoredEntry{44, kOtherTitle, 0}));
}

TEST(MergeTest, ChunksAreCopiedAsStored) {
    // Not as the register command would cut them: a short first chunk, a
    // trailing tab, a gap between chunks.
    const Texts odd{{u"URL1", u"https://exa"},
                    {u"URL2", u"mple.jp/" + std::u16string(130, u'x')},
                    {u"タイトル1", u"題\t"},
                    {u"コメント3", u"三つ目だけ  "}};
    TempDir dir;
    WriteDataBook(dir / "bm.xls", {});
    WriteDataBook(dir / "ref.xls", {EntryRow(5, odd)});
    Harness harness(dir / "bm.xls");
    MergeReferenceData(harness.context, dir / "ref.xls");
    EXPECT_EQ(StoredEntries(dir / "bm.xls"), (std::vector<StoredEntry>{{1, odd, 0}}));
}

TEST(MergeTest, AnOldWorkSheetIsRemovedFirst) {
    TempDir dir;
    Workbook data = DataBook({EntryRow(1, kPage)});
    data.addSheet(u"tmp").setCell(1, 1, Cell::text(u"残り"));
    data.addSheet(u"メモ").setCell(1, 1, Cell::text(u"残す"));
    WriteXlsFile(data, dir / "bm.xls");
    WriteDataBook(dir / "ref.xls", {EntryRow(1, kNew)});
    Harness harness(dir / "bm.xls");
    EXPECT_EQ(MergeReferenceData(harness.context, dir / "ref.xls").added, 1);
    Workbook merged = ReadXlsFile(dir / "bm.xls");
    ASSERT_EQ(merged.sheetCount(), 2);
    EXPECT_EQ(merged.sheet(2).name(), u"メモ");
    EXPECT_EQ(merged.sheet(2).cell(1, 1), Cell::text(u"残す"));
}

TEST(MergeTest, ACopyNameAlreadyTakenStillGivesTheWorkSheet) {
    TempDir dir;
    Workbook data = DataBook({EntryRow(1, kPage)});
    data.addSheet(u"トモリネ (2)");
    WriteXlsFile(data, dir / "bm.xls");
    WriteDataBook(dir / "ref.xls", {EntryRow(1, kNew)});
    Harness harness(dir / "bm.xls");
    EXPECT_EQ(MergeReferenceData(harness.context, dir / "ref.xls").added, 1);
    Workbook merged = ReadXlsFile(dir / "bm.xls");
    ASSERT_EQ(merged.sheetCount(), 2);
    EXPECT_EQ(merged.sheet(2).name(), u"トモリネ (2)");
}

TEST(MergeTest, NothingNewLeavesTheFileUntouchedAndClosesTheModuleConnection) {
    TempDir dir;
    WriteDataBook(dir / "bm.xls", {EntryRow(1, kPage)});
    WriteDataBook(dir / "ref.xls", {EntryRow(1, kPage)});
    const auto before = ReadBytes(dir / "bm.xls");
    const auto written = fs::last_write_time(dir / "bm.xls");
    Harness harness(dir / "bm.xls");
    harness.store.ModuleConnection =
        std::make_unique<Connection>(Connection::ConnectionString(dir / "bm.xls"));
    harness.store.ConnectionOpen = true;
    harness.store.HasSearchResult = true;
    MergeResult result = MergeReferenceData(harness.context, dir / "ref.xls");
    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.added, 0);
    EXPECT_EQ(ReadBytes(dir / "bm.xls"), before);
    EXPECT_EQ(fs::last_write_time(dir / "bm.xls"), written);
    EXPECT_EQ(harness.saves, 0);
    EXPECT_FALSE(harness.store.ConnectionOpen);
    EXPECT_FALSE(harness.store.ModuleConnection);
    EXPECT_FALSE(harness.store.HasSearchResult);
}

TEST(MergeTest, HoldsTheDataFileLockFromTheReadToTheSave) {
    TempDir dir;
    WriteDataBook(dir / "bm.xls", {});
    WriteDataBook(dir / "ref.xls", {EntryRow(1, kNew)});
    Harness harness(dir / "bm.xls");
    std::vector<std::string> locked;
    auto open = harness.context.io.open;
    harness.context.io.open = [&](const fs::path& path) {
        locked.push_back(path.filename().string() + " " +
                         (DataFileLock::HeldByThisThread(dir / "bm.xls") ? "held" : "free"));
        return open(path);
    };
    auto save = harness.context.io.save;
    harness.context.io.save = [&](const Workbook& book, const fs::path& path) {
        save(book, path);
        locked.push_back("saved " +
                         std::string(DataFileLock::HeldByThisThread(path) ? "held" : "free"));
    };
    MergeReferenceData(harness.context, dir / "ref.xls");
    EXPECT_EQ(locked, (std::vector<std::string>{"bm.xls held", "ref.xls held", "saved held"}));
    EXPECT_FALSE(DataFileLock::HeldByThisThread(dir / "bm.xls"));
}

// Writes the sheets of `book` with xlwt.
void WriteWithXlwt(const Workbook& book, const fs::path& file) {
    std::ofstream(file.string() + ".json") << ValuesOf(book).dump();
    ASSERT_EQ(std::system(("/usr/bin/python3 " TOMORINE_XLWT_WRITER " " + file.string()).c_str()),
              0);
}

TEST(MergeTest, MergesAReferenceWrittenByXlwt) {
    TempDir dir;
    WriteDataBook(dir / "bm.xls", {EntryRow(1, kPageWithSubtitle), EntryRow(2, kQuote)});
    // xlwt writes the serials as numbers and every text through its SST.
    WriteWithXlwt(DataBook({EntryRow(1, kPage), EntryRow(2, kNew), EntryRow(3, kOtherTitle),
                            EntryRow(4, kQuote), EntryRow(5, kNew)}),
                  dir / "ref.xls");
    const auto reference = ReadBytes(dir / "ref.xls");
    Harness harness(dir / "bm.xls");
    EXPECT_EQ(MergeReferenceData(harness.context, dir / "ref.xls").added, 3);
    EXPECT_EQ(ReadBytes(dir / "ref.xls"), reference); // only read
    EXPECT_EQ(StoredEntries(dir / "bm.xls"), (std::vector<StoredEntry>{{1, kPageWithSubtitle, 0},
                                                                       {2, kQuote, 0},
                                                                       {3, kNew, 0},
                                                                       {4, kOtherTitle, 0},
                                                                       {5, kNew, 0}}));
}

} // namespace
} // namespace tomorine::test
