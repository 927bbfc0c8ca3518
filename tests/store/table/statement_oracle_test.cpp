// The merge's pick and the search's rows are made in C++; on random workbooks
// each gives exactly what SQLite gives for the statement the program once ran
// for it, over tables holding the sheets' values.
#include "merge/merge_engine.h"
#include "merge/unheld_rows.h"
#include "search/search_rows.h"
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/workbook/utf.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>

namespace tomorine::test {
namespace {

const std::filesystem::path kFile = "/nonexistent/oracle.xls";

std::string Text(const Cell& cell) {
    char number[32];
    std::snprintf(number, sizeof number, "%.17g", cell.asNumber());
    return std::to_string(static_cast<int>(cell.kind())) + ":" +
           (cell.kind() == CellKind::Text ? ToUtf8(cell.asText()) : number) + "|";
}

// Every cell with its kind; numbers to the last bit.
std::string Dump(Recordset rows) {
    std::string text;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        text += "\n";
        for (int f = 0; f < rows.fieldCount(); ++f) {
            text += Text(rows.field(f));
        }
    }
    return text;
}

struct Database {
    Database() { sqlite3_open(":memory:", &db); }
    ~Database() { sqlite3_close(db); }

    // Runs a statement to its end; what Dump gives for the rows it returns.
    std::string run(std::u16string_view statement, const std::vector<Cell>& values = {}) {
        // Lone surrogates, which chunk cuts make, pass through unchanged.
        sqlite3_stmt* s = nullptr;
        std::string sql, bytes;
        AssignUtf8(sql, statement);
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr), SQLITE_OK) << sql;
        // A NUMERIC column keeps a whole number as an integer.
        for (int i = 0; i < static_cast<int>(values.size()); ++i) {
            if (values[i].kind() == CellKind::Text) {
                AssignUtf8(bytes, values[i].asText());
                sqlite3_bind_text(s, i + 1, bytes.data(), static_cast<int>(bytes.size()),
                                  SQLITE_TRANSIENT);
            } else if (values[i].kind() == CellKind::Number) {
                sqlite3_bind_double(s, i + 1, values[i].asNumber());
            }
        }
        std::string text;
        while (sqlite3_step(s) == SQLITE_ROW) {
            text += "\n";
            for (int f = 0; f < sqlite3_column_count(s); ++f) {
                const int type = sqlite3_column_type(s, f);
                const auto text16 = [&] {
                    return FromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, f)));
                };
                text += Text(type == SQLITE_NULL   ? Cell()
                             : type == SQLITE_TEXT ? Cell::text(text16())
                                                   : Cell::number(sqlite3_column_double(s, f)));
            }
        }
        sqlite3_finalize(s);
        return text;
    }

    // A sheet as table "[name$]": the columns a statement saw, each with the
    // affinity of its kind, and every cell as it reads.
    void load(const Sheet& sheet, const std::u16string& name) {
        const SheetRows rows(sheet, kFile);
        std::u16string columns, marks;
        for (const TableColumn& column : rows.columns()) {
            columns += (columns.empty() ? u"\"" : u", \"") + column.name +
                       (column.kind == ColumnKind::Number ? u"\" NUMERIC" : u"\" TEXT");
            marks += marks.empty() ? u"?" : u", ?";
        }
        run(u"CREATE TABLE [" + name + u"$] (" + columns + u")");
        for (int r = rows.firstRow(); r <= rows.lastRow(); ++r) {
            std::vector<Cell> values;
            for (size_t c = 0; c < rows.columns().size(); ++c) {
                values.push_back(rows.value(r, static_cast<int>(c)));
            }
            run(u"INSERT INTO [" + name + u"$] VALUES (" + marks + u")", values);
        }
    }

    sqlite3* db = nullptr;
};

std::u16string Quoted(std::u16string text) {
    for (size_t at = text.find(u'\''); at != text.npos; at = text.find(u'\'', at + 2)) {
        text.insert(at, 1, u'\'');
    }
    return u"'" + text + u"'";
}

std::u16string MergeSelect() {
    std::u16string sql = u"SELECT [tmp$].* FROM [tmp$] WHERE NOT EXISTS ( SELECT [トモリネ$].* "
                         u"FROM [トモリネ$] WHERE ";
    for (const std::u16string& col : MergeColumnNames()) {
        sql += (sql.back() == u' ' ? u"(" : u" and (") + (u"[tmp$]." + col) + u" = [トモリネ$]." +
               col + u" or [tmp$]." + col + u" Is Null)";
    }
    return sql + u" )";
}

std::u16string UrlCondition(const std::vector<std::u16string>& chunks) {
    std::u16string sql;
    for (size_t i = 0; i < chunks.size(); ++i) {
        std::u16string column = ChunkColumnName(FieldGroup::Url, static_cast<int>(i) + 1);
        sql += (i == 0 ? u"" : u" and ") +
               (chunks[i].empty() ? column + u" is Null" : column + u" = " + Quoted(chunks[i]));
    }
    return sql;
}

std::u16string SearchSelect(std::u16string_view url) {
    std::u16string sql = u"select * from [トモリネ$] where ";
    if (!url.empty()) {
        sql += u"((" + UrlCondition(SplitChunks(url, 16)) + u") or (" +
               UrlCondition(FixedChunks(url, 16)) + u")) and ";
    }
    return sql + u"削除 = 0";
}

// Few values and many Nulls, with near-duplicates (case, a trailing blank,
// a number that reads as the text "1", a surrogate pair cut at a chunk end).
Cell RandomCell(std::mt19937& random) {
    const auto T = [](const char16_t* text) { return Cell::text(text); };
    const Cell cells[] = {Cell(),     Cell(),          Cell(),       T(u""),
                          T(u"a"),    T(u"A"),         T(u"a "),     T(u"b c"),
                          T(u"1"),    Cell::number(1), T(u"ダミー"), Cell::boolean(true),
                          T(u"TRUE"), T(u"\xD83D"),    T(u"😀 ｂ")};
    return cells[random() % std::size(cells)];
}

// Random entries after the dummy row; some copy an earlier or `other`'s row
// with one cell changed, so that rows often almost match.
Workbook RandomBook(std::mt19937& random, const Workbook* other) {
    Workbook book = NewDataWorkbook();
    Sheet& sheet = book.sheet(EntrySheetName);
    const Cell flags[] = {Cell::number(0),  Cell::number(0),    Cell::number(1),  Cell(),
                          Cell::text(u"0"), Cell::number(-0.0), Cell::text(u" 0")};
    for (int r = 0, count = static_cast<int>(random() % 12); r < count; ++r) {
        const Sheet& from = other != nullptr && random() % 2 ? other->sheet(1) : sheet;
        Sheet::Row row;
        if (random() % 3 == 0 && from.lastUsedRow() >= 2) {
            row = from.row(2 + static_cast<int>(random() % (from.lastUsedRow() - 1)));
            row.resize(EntryColumnCount);
            row[1 + random() % 56] = RandomCell(random);
        } else {
            row.push_back(Cell::number(r + 1));
            for (int c = 1; c <= 56; ++c) {
                row.push_back(random() % 4 == 0 ? RandomCell(random) : Cell());
            }
            row.push_back(flags[random() % std::size(flags)]);
        }
        sheet.appendRow(std::move(row));
    }
    return book;
}

// A URL of one of the rows, or a random one.
std::u16string RandomUrl(std::mt19937& random, const Workbook& book) {
    Recordset rows = SearchRows(std::make_shared<const Workbook>(book), kFile, u"");
    if (rows.recordCount() == 0 || random() % 4 == 0) {
        return random() % 2 ? u"a" : u"";
    }
    rows.move(static_cast<long>(random() % rows.recordCount()));
    return JoinField(rows, FieldGroup::Url);
}

TEST(StatementOracle, MergeAndSearchGiveWhatSqliteGives) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        const Workbook data = RandomBook(random, nullptr);
        const Workbook reference = RandomBook(random, &data);
        auto shared = std::make_shared<const Workbook>(data);

        Database sqlite;
        sqlite.load(data.sheet(1), u"トモリネ");
        sqlite.load(reference.sheet(1), u"tmp");
        const SheetRows referenceRows(reference.sheet(1), kFile);
        const std::vector<int> picked =
            UnheldRows(referenceRows, SheetRows(data.sheet(1), kFile), MergeColumnNames());
        ASSERT_EQ(Dump(referenceRows.select(std::make_shared<const Workbook>(reference), picked)),
                  sqlite.run(MergeSelect()));

        const std::u16string url = RandomUrl(random, data);
        ASSERT_EQ(Dump(SearchRows(shared, kFile, url)), sqlite.run(SearchSelect(url)));
    }
}

} // namespace
} // namespace tomorine::test
