// How cells read and how written values are stored, by column kind.
#include "entry_fixture.h"

#include <gmock/gmock.h>

namespace tomorine::test {
namespace {

// Sheet "s": column n is numeric and t is text (by their cells in row 2);
// row 3 holds the given cells, one beside them and one beyond the header.
Workbook KindsBook(const Cell& n3, const Cell& t3) {
    Workbook book;
    Sheet& s = book.addSheet(u"s");
    s.appendRow({Cell::text(u"n"), Cell::text(u"t"), Cell::text(u"pad")});
    s.appendRow({Cell::number(0), Cell::text(u"first")});
    s.appendRow({n3, t3, Cell::text(u"keeps row 3"), Cell::text(u"beyond")});
    return book;
}

std::string Read(Connection& connection, const std::u16string& column) {
    Recordset rows = connection.execute(u"select typeof(" + column + u") as k, " + column +
                                        u" as v from [s$] where rowid = 3");
    return ToUtf8(rows.field(u"k").asText()) + ": " + Shown(rows.field(u"v"));
}

TEST(CellValues, ReadByColumnKind) {
    // The cell in row 3, then how the number column and the text column read it.
    const std::tuple<Cell, std::string, std::string> cases[] = {
        {Cell(), "null: NULL", "null: NULL"},
        {Cell::text(u""), "null: NULL", "null: NULL"},
        {Cell::text(u"abc"), "null: NULL", "text: 'abc'"},
        {Cell::text(u" 3.5 "), "real: 3.5", "text: ' 3.5 '"},
        {Cell::number(7), "integer: 7", "text: '7'"},
        {Cell::boolean(true), "null: NULL", "text: 'TRUE'"},
        {Cell::error(0x2A), "null: NULL", "null: NULL"}};
    for (const auto& [cell, number, text] : cases) {
        Connection connection = InMemory(KindsBook(cell, cell));
        EXPECT_EQ(Read(connection, u"n"), number) << text;
        EXPECT_EQ(Read(connection, u"t"), text);
    }
}

// Row 3 holds a text in the number column and a boolean in the text column,
// which the update must leave as they are when it does not set them.
TEST(CellValues, StoredByColumnKindInExistingAndNewRows) {
    const std::tuple<std::u16string, int, Cell> cases[] = {{u"n = '7'", 1, Cell::number(7)},
                                                           {u"n = '-2.5'", 1, Cell::number(-2.5)},
                                                           {u"n = 0.25", 1, Cell::number(0.25)},
                                                           {u"n = ''", 1, Cell()},
                                                           {u"n = 'abc'", 1, Cell::text(u"abc")},
                                                           {u"n = '+-1'", 1, Cell::text(u"+-1")},
                                                           {u"t = '7'", 2, Cell::text(u"7")},
                                                           {u"t = 7", 2, Cell::number(7)},
                                                           {u"t = ''", 2, Cell()},
                                                           {u"t = NULL", 2, Cell()},
                                                           {u"t = ' a  '", 2, Cell::text(u" a  ")}};
    for (const auto& [assignment, column, stored] : cases) {
        Workbook book = KindsBook(Cell::text(u"05"), Cell::boolean(true));
        Sheet::Row row3 = book.sheet(1).row(3);
        row3[column - 1] = stored;
        Connection connection = InMemory(std::move(book));
        connection.execute(u"INSERT INTO [s$] (n, t) VALUES (NULL, 'x')");
        connection.execute(u"UPDATE [s$] SET " + assignment + u" WHERE rowid >= 3");
        EXPECT_EQ(connection.workbook().sheet(1).row(3), row3) << ToUtf8(assignment);
        EXPECT_EQ(connection.workbook().sheet(1).cell(4, column), stored) << ToUtf8(assignment);
    }
}

} // namespace
} // namespace tomorine::test
