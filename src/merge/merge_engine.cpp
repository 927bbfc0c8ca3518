#include "merge/merge_engine.h"

#include "merge/unheld_rows.h"
#include "store/cache/freed_memory.h"
#include "store/cache/workbook_cache.h"
#include "store/entry.h"
#include "store/files/data_file_lock.h"
#include "store/live_entries.h"
#include "store/table/cell_value.h"
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
SheetRows ReferenceRows(const Workbook& reference, const std::filesystem::path& file) {
    SheetRows rows(EntrySheet(reference, file), file);
    for (const std::u16string& name : MergeColumnNames()) {
        try {
            rows.column(name);
        } catch (const WorkbookError&) {
            throw WorkbookError(WorkbookFault::FieldNotFound,
                                SheetOf(file) + " に列「" + ToUtf8(name) +
                                    "」がありません (トモリネの現在のデータ形式ではありません)");
        }
    }
    return rows;
}

// The highest serial as "max(シリアル番号)" gives it; 0 for none.
std::int32_t HighestSerial(const SheetRows& entries) {
    const int column = entries.column(SerialColumn);
    std::optional<Cell> highest;
    for (int r = entries.firstRow(); r <= entries.lastRow(); ++r) {
        Cell value = entries.value(r, column);
        if (value.kind() == CellKind::Number &&
            (!highest || value.asNumber() > highest->asNumber())) {
            highest = value;
        }
    }
    return highest ? CellToInt32(*highest) : 0;
}

// Refuses before the first insert what the sheet or the serials cannot hold.
void CheckRoom(const Sheet& entries, const std::filesystem::path& file, std::int32_t highest,
               long rows) {
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

// The picked reference rows appended under the next serials, each text as
// the reference stores it (so the chunk rules hold for the copies).
int AddUnheldRows(Workbook& book, const std::filesystem::path& dataFile, const Workbook& reference,
                  const std::filesystem::path& referenceFile) {
    const SheetRows from = ReferenceRows(reference, referenceFile);
    Sheet& sheet = book.sheet(EntrySheetName);
    const SheetRows to(sheet, dataFile);
    const std::vector<int> picked = UnheldRows(from, to, MergeColumnNames());
    std::int32_t serial = HighestSerial(to);
    CheckRoom(sheet, dataFile, serial, static_cast<long>(picked.size()));
    const auto kindOf = [&](int column) { return to.columns()[column].kind; };
    const int serialColumn = to.column(SerialColumn);
    const int deletedColumn = to.column(DeletedColumn);
    std::vector<std::pair<int, int>> copied; // reference column, entry column
    for (const std::u16string& name : MergeColumnNames()) {
        copied.emplace_back(from.column(name), to.column(name));
    }
    for (int r : picked) {
        Sheet::Row row(to.columns().size());
        const std::string digits = std::to_string(++serial);
        row[serialColumn] = StoreAs(FromUtf8(digits), kindOf(serialColumn));
        for (auto [source, target] : copied) {
            row[target] = StoreAs(CellToText(from.value(r, source)), kindOf(target));
        }
        row[deletedColumn] = StoreAs(u"0", kindOf(deletedColumn));
        sheet.appendRow(std::move(row));
    }
    return static_cast<int>(picked.size());
}

// The data workbook without an old "tmp" (what DeleteTmpSheet does before a
// merge).
Workbook ReadDataWorkbook(UpgradeContext& context, bool& removedTmp) {
    try {
        Workbook book = context.io.open(context.store.dataFilePath);
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

const std::vector<std::u16string>& MergeColumnNames() {
    // The entry sheet's columns between シリアル番号 and 削除.
    static const std::vector<std::u16string> names(EntryColumnNames().begin() + 1,
                                                   EntryColumnNames().end() - 1);
    return names;
}

MergeResult MergeReferenceData(UpgradeContext& context, const std::filesystem::path& reference) {
    const std::filesystem::path dataFile = context.store.dataFilePath;
    DataFileLock lock(dataFile);
    // A kept copy would sit beside the one merged into, doubling the memory a
    // large merge needs; the save makes it stale anyway.
    DataWorkbookCache().clear();
    bool removedTmp = false;
    Workbook book = ReadDataWorkbook(context, removedTmp);
    const int added = AddUnheldRows(book, dataFile, context.io.open(reference), reference);
    // The reference's pages, free again, would count on top of the save's.
    ReturnFreedMemory();
    if (added > 0 || removedTmp) {
        context.io.save(book, dataFile);
    }
    return {added};
}

int CountMergeableEntries(const std::filesystem::path& dataFile, const Workbook& data,
                          const Workbook& reference, const std::filesystem::path& referenceFile) {
    return static_cast<int>(UnheldRows(ReferenceRows(reference, referenceFile),
                                       SheetRows(EntrySheet(data, dataFile), dataFile),
                                       MergeColumnNames())
                                .size());
}

} // namespace tomorine
