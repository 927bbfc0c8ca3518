// Which reference entries the merge adds and how, against outcomes written by
// hand and a reference written by xlwt.
#include "merge/merge_engine.h"
#include "store/entry_layout.h"
#include "store/files/data_file_lock.h"
#include "store/xls/xls_file.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"
#include "upgrade_fixture.h"

#include <fstream>
#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

// The file's entry rows: serial, non-empty texts, 削除.
struct StoredEntry {
    std::int32_t serial;
    Texts texts;
    int deleted;
    bool operator==(const StoredEntry&) const = default;
};
std::vector<StoredEntry> StoredEntries(const std::filesystem::path& file) {
    const Workbook book = ReadXlsFile(file);
    const Sheet& sheet = book.sheet(EntrySheetName);
    const std::vector<std::u16string>& names = EntryColumnNames();
    std::vector<StoredEntry> entries;
    for (int r = 3; r <= sheet.lastUsedRow(); ++r) {
        StoredEntry entry{int(sheet.cell(r, 1).asNumber()), {}, int(sheet.cell(r, 58).asNumber())};
        for (int c = 2; c <= 57; ++c) {
            const Cell& cell = sheet.cell(r, c);
            if (!cell.isEmpty()) {
                entry.texts[names[c - 1]] = cell.asText();
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
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
    std::vector<StoredEntry> expected = StoredEntries(dir / "bm.xls");
    expected.insert(
        expected.end(),
        {{42, kNew, 0}, {43, kQuote, 0}, {44, kOddChunks, 0}, {45, kPageWithSubtitle, 0}});
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
    EXPECT_EQ(StoredEntries(dir / "bm.xls"), expected);
    EXPECT_EQ(ReadXlsFile(dir / "bm.xls").sheetCount(), 1);
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
    const std::vector<StoredEntry> expected{
        {1, kPageWithSubtitle, 0}, {2, kQuote, 0}, {3, kNew, 0}, {4, kOtherTitle, 0}, {5, kNew, 0}};
    EXPECT_EQ(StoredEntries(dir / "bm.xls"), expected);
}

} // namespace
} // namespace tomorine::test
