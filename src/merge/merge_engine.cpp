#include "merge/merge_engine.h"

#include "merge/merge_statements.h"
#include "store/entry.h"
#include "store/files/data_file_lock.h"
#include "store/table/table_columns.h"
#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "upgrade/tmp_sheet.h"

#include <limits>

namespace tomorine {

namespace {

std::string SheetOf(const std::filesystem::path& file) {
    return QuotedPath(file) + " のシート「" + ToUtf8(EntrySheetName) + "」";
}

// The reference's entry sheet, refused unless it has every text column the
// merge compares (a workbook of the older layout lacks URL5 …).
const Sheet& ReferenceSheet(const Workbook& reference, const std::filesystem::path& file) {
    const Sheet* sheet = reference.findSheet(EntrySheetName);
    if (sheet == nullptr) {
        throw WorkbookError(WorkbookFault::SheetNotFound, QuotedPath(file) + " にシート「" +
                                                              ToUtf8(EntrySheetName) +
                                                              "」がありません");
    }
    const std::vector<TableColumn> columns = TableColumns(*sheet);
    for (const std::u16string& name : MergeColumnNames()) {
        bool found = false;
        for (const TableColumn& column : columns) {
            found = found || EqualIgnoringAsciiCase<char16_t>(column.name, name);
        }
        if (!found) {
            throw WorkbookError(WorkbookFault::FieldNotFound,
                                SheetOf(file) + " に列「" + ToUtf8(name) +
                                    "」がありません (トモリネの現在のデータ形式ではありません)");
        }
    }
    return *sheet;
}

// Copy stage: the reference's entry sheet as "tmp" after the entry sheet.
void CopyReferenceSheet(Workbook& book, const Workbook& reference,
                        const std::filesystem::path& referenceFile) {
    const Sheet& source = ReferenceSheet(reference, referenceFile);
    Sheet& copy = book.copySheetAfter(source, book.sheet(EntrySheetName));
    // The copy itself, even when "トモリネ (2)" was taken and it got another name.
    book.renameSheet(copy, std::u16string(TmpSheetName));
}

std::int32_t HighestSerial(Connection& connection) {
    Recordset rs =
        connection.execute(u"select max(シリアル番号) as cnt from " + std::u16string(EntryTable));
    return rs.eof() ? 0 : CellToInt32(rs.field(u"cnt"));
}

// Refuses before the first insert what the sheet or the serials cannot hold.
void CheckRoom(const Connection& connection, std::int32_t highest, long rows) {
    const std::filesystem::path& file = connection.path();
    const Sheet& entries = connection.workbook().sheet(EntrySheetName);
    if (entries.lastUsedRow() + rows > Sheet::MaxRows) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            SheetOf(file) + " に " + std::to_string(rows) +
                                " 件を追加すると、1 シートの上限 " +
                                std::to_string(Sheet::MaxRows) + " 行を超えます");
    }
    if (highest > std::numeric_limits<std::int32_t>::max() - rows) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            QuotedPath(file) + " のシリアル番号はこれ以上増やせません");
    }
}

// Insert stage: the picked rows, in reference order, under the next serials.
int InsertNewRows(Connection& connection) {
    Recordset picked = connection.execute(BuildMergeSelectStatement());
    std::int32_t serial = HighestSerial(connection);
    CheckRoom(connection, serial, picked.recordCount());
    for (; !picked.eof(); picked.moveNext()) {
        ++serial;
        connection.execute(BuildMergeInsertStatement(serial, picked));
    }
    return static_cast<int>(picked.recordCount());
}

// Clean-up stage: the workbook as the statements left it, without "tmp".
// Built sheet by sheet, so that the work sheet is never copied.
Workbook WithoutTmpSheet(const Workbook& book) {
    Workbook result;
    for (int i = 1; i <= book.sheetCount(); ++i) {
        const Sheet& sheet = book.sheet(i);
        if (SameSheetName(sheet.name(), TmpSheetName)) {
            continue;
        }
        Sheet& copy = result.addSheet(sheet.name());
        for (int row = 1; row <= sheet.lastUsedRow(); ++row) {
            if (!sheet.row(row).empty()) {
                copy.replaceRow(row, sheet.row(row));
            }
        }
    }
    return result;
}

// The data workbook without an old "tmp" (what DeleteTmpSheet does before a
// merge).
Workbook ReadDataWorkbook(UpgradeContext& context, bool& removedTmp) {
    try {
        Workbook book = context.io.open(context.store.DataFilePath);
        if (const Sheet* tmp = book.findSheet(TmpSheetName)) {
            book.deleteSheet(*tmp);
            removedTmp = true;
        }
        return book;
    } catch (const WorkbookError& e) {
        throw DataWorkbookUnreadable(e.fault(), e.what());
    }
}

} // namespace

MergeResult MergeReferenceData(UpgradeContext& context, const std::filesystem::path& reference) {
    StoreState& store = context.store;
    if (store.ConnectionOpen) {
        CloseDataConnection(store);
        store.ConnectionOpen = false;
    }
    const std::filesystem::path dataFile = store.DataFilePath;
    DataFileLock lock(dataFile);
    bool removedTmp = false;
    Workbook book = ReadDataWorkbook(context, removedTmp);
    CopyReferenceSheet(book, context.io.open(reference), reference);

    Connection connection(dataFile, std::move(book));
    const int added = InsertNewRows(connection);
    store.HasSearchResult = false;

    if (added > 0 || removedTmp) {
        context.io.save(WithoutTmpSheet(connection.workbook()), dataFile);
    }
    return {added};
}

int CountMergeableEntries(const std::filesystem::path& dataFile, Workbook data,
                          const Workbook& reference, const std::filesystem::path& referenceFile) {
    if (const Sheet* tmp = data.findSheet(TmpSheetName)) {
        data.deleteSheet(*tmp);
    }
    CopyReferenceSheet(data, reference, referenceFile);
    Connection connection(dataFile, std::move(data));
    return static_cast<int>(connection.execute(BuildMergeSelectStatement()).recordCount());
}

} // namespace tomorine
