// A real data file: a new one as xlrd reads it, serials, whole-cell deletion,
// the row limit, and entry texts registered and read back chunk by chunk.
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/entry_deletion.h"
#include "store/entry_statements.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <chrono>
#include <gmock/gmock.h>
#include <map>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using U = std::u16string;

// A file's bytes and modification time: what "left as it was" means.
auto StateOf(const fs::path& file) {
    return std::pair(ReadBytes(file), fs::last_write_time(file));
}

// Moves the modification time a day back, so that any rewrite shows.
auto AgedState(const fs::path& file) {
    fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(24));
    return StateOf(file);
}

// Registers as the editor does; returns the serial.
std::int32_t Register(const fs::path& dataFile, const Entry& entry) {
    const std::int32_t serial = NextSerial(dataFile);
    EXPECT_EQ(ExecuteOnDataFile(dataFile, BuildInsertStatement(serial, entry)), 1);
    return serial;
}

Entry Page(int n) {
    const std::u16string number = FromUtf8(std::to_string(n));
    return {0, u"https://example.jp/" + number, u"ページ" + number, u"", u"", u""};
}

// An entry row of column 1, URL1 and 削除 0, as the data file stores it.
void AppendEntryRow(Sheet& sheet, Cell first, const std::u16string& url) {
    Sheet::Row row(58);
    row[0] = std::move(first);
    row[1] = Cell::text(url);
    row[57] = Cell::number(0);
    sheet.appendRow(std::move(row));
}

// Rows 1 and 2 of the entry sheet: the column names (which the statement
// tests spell out) and the dummy row.
json HeaderAndDummyCells() {
    json cells = json::array();
    for (int c = 0; c < 58; ++c) {
        cells.push_back({0, c, "text", ToUtf8(EntryColumnNames()[c])});
    }
    cells.push_back({1, 0, "number", 0.0});
    for (int c = 1; c <= 56; ++c) {
        cells.push_back({1, c, "text", c <= 16 ? "dummy" : "ダミー"});
    }
    cells.push_back({1, 57, "number", 1.0});
    return cells;
}

TEST(CreateDataWorkbook, HoldsOnlyTheEntrySheetsHeaderAndDummyRowAndReplacesNoFile) {
    TempDir dir;
    const fs::path path = dir / "トモリネ.xls";
    CreateDataWorkbook(path);
    const json xlrd = XlrdValues(path);
    EXPECT_EQ(xlrd["log"], "");
    EXPECT_EQ(xlrd["sheets"], json::array({{{"name", "トモリネ"},
                                            {"nrows", 2},
                                            {"ncols", 58},
                                            {"cells", HeaderAndDummyCells()}}}));
    EXPECT_EQ(QueryMaxSerial(path), 0);

    const auto before = AgedState(path);
    try {
        CreateDataWorkbook(path);
        ADD_FAILURE() << "replaced";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::FileAccess);
        EXPECT_THAT(e.description(), ::testing::HasSubstr(path.string()));
    }
    EXPECT_EQ(StateOf(path), before);
}

// Only a whole number cell equal to the serial matches, never the dummy row
// (serial 0); the next serial follows the highest, not the count.
TEST(DeleteEntryBySerial, RemovesTheFirstWholeCellMatchAmongEntryRowsOnly) {
    const std::pair<Cell, std::u16string> entries[] = {
        {Cell::number(12), u"12"}, {Cell::text(u"2"), u"text 2"}, {Cell::number(2), u"2"},
        {Cell::number(22), u"22"}, {Cell(), u"no serial"},        {Cell::number(2), u"2 again"}};
    // The serial, and the sheet row it removes (0: none).
    for (auto [serial, row] : {std::pair{2, 5}, {0, 0}}) {
        TempDir dir;
        const fs::path path = dir / "data.xls";
        Workbook book = NewDataWorkbook();
        for (const auto& [first, url] : entries) {
            AppendEntryRow(book.sheet(1), first, url);
        }
        WriteXlsFile(book, path);
        const auto before = AgedState(path);
        if (row != 0) {
            book.sheet(1).deleteRow(row);
        }

        EXPECT_EQ(DeleteEntryBySerial(path, serial), row != 0) << serial;
        EXPECT_TRUE(SameAsXlrd(book, XlrdValues(path))) << serial;
        EXPECT_EQ(StateOf(path) != before, row != 0)
            << "written although nothing was found, or not";
        EXPECT_EQ(NextSerial(path), 23);
    }
}

// The entry in row 65,536 is written, the next refused; the file stays as it
// was then and after an update that finds no entry.
TEST(RowLimit, TheLastRowIsFilledAndTheNextInsertRefused) {
    constexpr int kLastRow = Sheet::MaxRows;
    TempDir dir;
    const fs::path path = dir / "full.xls";
    Workbook book = NewDataWorkbook();
    for (int serial = 1; serial <= kLastRow - 3; ++serial) {
        AppendEntryRow(book.sheet(1), Cell::number(serial), Page(serial).url);
    }
    WriteXlsFile(book, path);

    EXPECT_EQ(Register(path, Page(kLastRow - 2)), kLastRow - 2);
    const auto before = AgedState(path);
    try {
        ExecuteOnDataFile(path, BuildInsertStatement(kLastRow - 1, Page(kLastRow - 1)));
        FAIL() << "a 65,537th row was written";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::SheetRule);
        EXPECT_THAT(e.description(), ::testing::AllOf(::testing::HasSubstr("トモリネ"),
                                                      ::testing::HasSubstr("65536")));
    }
    EXPECT_EQ(ExecuteOnDataFile(path, BuildUpdateStatement(kLastRow, Page(1))), 0);
    EXPECT_EQ(StateOf(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1)
        << "a temporary file was left";

    ExecuteOnDataFile(path, BuildUpdateStatement(kLastRow - 2, Page(1)));
    const json last = XlrdValues(path, XlrdMode::Strict, {kLastRow - 1});
    EXPECT_EQ(last["sheets"][0]["nrows"], kLastRow);
    EXPECT_EQ(last["sheets"][0]["cells"][1][3], "https://example.jp/1");
    EXPECT_EQ(last["sheets"][0]["cells"][2][3], "ページ1");
}

// Trailing spaces are stored as tabs chunk by chunk and read back as spaces.
TEST(TextRoundTrip, TrailingSpacesReadBackAsWritten) {
    TempDir dir;
    const fs::path path = dir / "data.xls";
    CreateDataWorkbook(path);
    const Entry written{0,      u"http://a/  ", u"題名  ",
                        u"副 ", u"news  ",      U(122, u'c') + u"      end"};
    ASSERT_EQ(Register(path, written), 1);
    std::map<std::string, json> row;
    const json xlrd = XlrdValues(path, XlrdMode::Strict, {2});
    for (const json& cell : xlrd["sheets"][0]["cells"]) {
        row[ToUtf8(EntryColumnNames()[cell[1].get<int>()])] = cell[3];
    }
    EXPECT_EQ(row, (std::map<std::string, json>{{"シリアル番号", 1.0},
                                                {"URL1", "http://a/  "},
                                                {"タイトル1", "題名\t\t"},
                                                {"サブタイトル1", "副\t"},
                                                {"コメント1", std::string(122, 'c') + "\t\t\t"},
                                                {"コメント2", "   end"},
                                                {"キーワード1", "news\t\t"},
                                                {"削除", 0.0}}));

    Connection connection(Connection::ConnectionString(path));
    Recordset rows = connection.execute(u"select * from [トモリネ$] where 削除 = 0");
    const Entry read = ReadEntry(rows);
    for (auto text :
         {&Entry::url, &Entry::title, &Entry::subtitle, &Entry::keywords, &Entry::comment}) {
        EXPECT_EQ(ToUtf8(read.*text), ToUtf8(written.*text));
    }
}

} // namespace
} // namespace tomorine::test
