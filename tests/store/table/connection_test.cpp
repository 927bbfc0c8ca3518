// The table engine: a failed write changes nothing; close() writes to a real file.
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/xls/xls_file.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"
#include "support/workbook_errors.h"
#include "support/xls_peer.h"

#include <functional>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

Entry Page(std::u16string url, std::u16string title = {}) {
    return {0, std::move(url), std::move(title), u"", u"", u""};
}

TEST(Writes, AFailedWriteNamesTheCauseAndChangesNothing) {
    const Workbook before = DataBook({EntryRow(1, {{u"URL1", u"http://a/"}})});
    const std::tuple<std::function<void(Connection&)>, WorkbookFault, std::string> cases[] = {
        {[](Connection& c) { c.insert(u"tmp", {u"x"}, {u"1"}); }, WorkbookFault::SheetNotFound,
         "/nonexistent-folder/トモリネ.xls」 にシート「tmp」"},
        // The first column is known, the second not.
        {[](Connection& c) {
             c.update(u"トモリネ", {3}, {u"url1", u"URL99"}, {u"b", u"c"});
         },
         WorkbookFault::FieldNotFound, "シート「トモリネ」に列「URL99」"}};
    for (const auto& [write, fault, mention] : cases) {
        // On a path nothing is ever saved to.
        Connection connection("/nonexistent-folder/トモリネ.xls", before);
        EXPECT_TRUE(FailsWith([&] { write(connection); }, fault, {mention}));
        EXPECT_FALSE(connection.changed()) << mention;
        EXPECT_EQ(ValuesOf(connection.workbook()), ValuesOf(before)) << mention;
    }
}

// close() saves; a peer reads serials and flags as numbers, and a text set to '' as no cell.
TEST(Saving, ChangesReachTheFileOnClose) {
    TempDir dir;
    const fs::path path = dir / "a.xls";
    WriteXlsFile(NewDataWorkbook(), path);
    Connection connection(path);
    InsertEntry(connection, 7, ChunkValues(Page(u"http://a/", u"題")));
    EXPECT_EQ(UpdateEntry(connection, 7, Page(u"http://b/")), 1);
    connection.close();

    EXPECT_TRUE(SameAsXlrd(DataBook({EntryRow(7, {{u"URL1", u"http://b/"}})}), XlrdValues(path)));
}

} // namespace
} // namespace tomorine::test
