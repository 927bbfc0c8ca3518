#include "entry_fixture.h"
#include "store/table/recordset.h"
#include "store/workbook/workbook_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

// Three rows of two fields "Serial" and "title".
Recordset ThreeRows() {
    std::vector<Cell> values;
    for (int i = 1; i <= 3; ++i) {
        values.push_back(Cell::number(i));
        values.push_back(i == 2 ? Cell() : Cell::text(u"t"));
    }
    return Recordset({u"Serial", u"title"}, std::move(values));
}

int ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const WorkbookError& e) {
        return e.number();
    }
    return 0;
}

TEST(Recordset, NavigationStopsAtBofAndEof) {
    Recordset rows = ThreeRows();
    struct Step {
        std::function<void(Recordset&)> move;
        long position;
        bool bof;
        bool eof;
    };
    const Step steps[] = {
        {[](Recordset&) {}, 0, false, false},
        {[](Recordset& r) { r.moveNext(); }, 1, false, false},
        {[](Recordset& r) { r.move(1); }, 2, false, false},
        {[](Recordset& r) { r.moveNext(); }, 3, false, true},
        {[](Recordset& r) { r.moveNext(); }, 3, false, true},
        {[](Recordset& r) { r.move(-2); }, 1, false, false},
        {[](Recordset& r) { r.move(-10); }, -1, true, false},
        {[](Recordset& r) { r.moveFirst(); }, 0, false, false},
        {[](Recordset& r) { r.move(2); }, 2, false, false},
        {[](Recordset& r) { r.move(5); }, 3, false, true},
        {[](Recordset& r) { r.move(0); }, 3, false, true},
    };
    int n = 0;
    for (const Step& step : steps) {
        step.move(rows);
        EXPECT_EQ(rows.position(), step.position) << "step " << n;
        EXPECT_EQ(rows.bof(), step.bof) << "step " << n;
        EXPECT_EQ(rows.eof(), step.eof) << "step " << n;
        ++n;
    }
}

TEST(Recordset, FieldsOfTheCurrentRow) {
    Recordset rows = ThreeRows();
    EXPECT_EQ(rows.recordCount(), 3);
    EXPECT_EQ(rows.fieldCount(), 2);
    EXPECT_EQ(rows.fieldName(1), u"title");
    rows.move(1);
    EXPECT_EQ(rows.field(u"serial"), Cell::number(2));
    EXPECT_EQ(rows.field(u"SERIAL"), Cell::number(2));
    EXPECT_TRUE(rows.field(u"Title").isEmpty());
    EXPECT_EQ(rows.field(0), Cell::number(2));
}

TEST(Recordset, ErrorsForMissingFieldsAndNoCurrentRow) {
    Recordset rows = ThreeRows();
    EXPECT_EQ(ErrorOf([&] { rows.field(u"URL5"); }), ErrorNumber::ItemNotFound);
    EXPECT_EQ(ErrorOf([&] { rows.field(u"seria"); }), ErrorNumber::ItemNotFound);
    EXPECT_EQ(ErrorOf([&] { rows.field(2); }), ErrorNumber::ItemNotFound);
    rows.move(3);
    EXPECT_EQ(ErrorOf([&] { rows.field(u"title"); }), ErrorNumber::NoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rows.field(u"nope"); }), ErrorNumber::ItemNotFound);
    rows.move(-4);
    EXPECT_EQ(ErrorOf([&] { rows.field(u"title"); }), ErrorNumber::NoCurrentRecord);
    try {
        rows.fieldIndex(u"キーワード17");
    } catch (const WorkbookError& e) {
        EXPECT_THAT(e.description(), ::testing::HasSubstr("キーワード17"));
    }
}

TEST(Recordset, EmptyAndClosedRecordsetsHaveNoCurrentRow) {
    Recordset empty({u"a"}, {});
    EXPECT_TRUE(empty.isOpen());
    for (auto move : {+[](Recordset&) {}, +[](Recordset& r) { r.moveFirst(); },
                      +[](Recordset& r) { r.moveNext(); }, +[](Recordset& r) { r.move(-1); }}) {
        move(empty);
        EXPECT_TRUE(empty.bof());
        EXPECT_TRUE(empty.eof());
        EXPECT_EQ(ErrorOf([&] { empty.field(u"a"); }), ErrorNumber::NoCurrentRecord);
    }

    Recordset rows = ThreeRows();
    rows.close();
    EXPECT_FALSE(rows.isOpen());
    EXPECT_TRUE(rows.bof() && rows.eof());
    EXPECT_EQ(rows.recordCount(), 0);
    EXPECT_FALSE(Recordset().isOpen());
}

TEST(Recordset, FirstOfEqualNamesWins) {
    Recordset rows({u"a", u"A"}, {Cell::number(1), Cell::number(2)});
    EXPECT_EQ(rows.field(u"a"), Cell::number(1));
}

TEST(Recordset, IsASnapshotUnaffectedByLaterStatements) {
    Workbook book = EntryWorkbook();
    AddEntry(book.sheet(1), 1, {{u"URL1", u"http://a/"}});
    Recordset rows;
    {
        Connection connection = InMemory(std::move(book));
        rows = connection.execute(u"select * from [トモリネ$] where 削除 = 0");
        connection.execute(UpdateStatement(1, {{u"URL1", u"http://changed/"}}));
        connection.execute(InsertStatement(u"[トモリネ$]", 2, {{u"URL1", u"http://b/"}}));
        EXPECT_THAT(FieldValues(rows, u"URL1"), ::testing::ElementsAre("'http://a/'"));
    }
    EXPECT_THAT(FieldValues(rows, u"URL1"), ::testing::ElementsAre("'http://a/'"));
}

TEST(Recordset, StatementsWithoutRowsGiveAClosedRecordset) {
    Connection connection = InMemory(EntryWorkbook());
    EXPECT_FALSE(connection.execute(UpdateStatement(9, {})).isOpen());
    EXPECT_TRUE(connection.execute(u"select * from [トモリネ$] where 1 = 0").isOpen());
}

} // namespace
} // namespace tomorine::test
