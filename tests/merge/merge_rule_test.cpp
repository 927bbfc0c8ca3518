// Which reference entries the merge adds and how, against outcomes written by
// hand and a reference written by xlwt.
#include "merge/merge_engine.h"
#include "store/files/data_file_lock.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"
#include "upgrade_fixture.h"

#include <fstream>
#include <gtest/gtest.h>

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

} // namespace
} // namespace tomorine::test
