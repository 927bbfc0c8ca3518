#include "linkcheck/dead_entry_deletion.h"

#include "store/entry.h"
#include "store/files/data_file_lock.h"
#include "store/xls/xls_file.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

namespace tomorine {

namespace {

// Entries start in row 3, after the header and the dummy row.
constexpr int FirstEntryRow = 3;

// The first entry row of each serial.
std::unordered_map<std::int32_t, int> RowsBySerial(const Sheet& sheet) {
    std::unordered_map<std::int32_t, int> rows;
    for (int row = FirstEntryRow; row <= sheet.lastUsedRow(); ++row) {
        const Cell& cell = sheet.cell(row, 1);
        const double value = cell.asNumber();
        if (cell.kind() == CellKind::Number && value >= INT32_MIN && value <= INT32_MAX &&
            value == static_cast<double>(static_cast<std::int32_t>(value))) {
            rows.try_emplace(static_cast<std::int32_t>(value), row);
        }
    }
    return rows;
}

// Whether the row holds every entry column as the check read it.
bool AsChecked(const Sheet& sheet, int row, const LinkTarget& entry) {
    for (std::size_t column = 0; column < entry.cells.size(); ++column) {
        if (!(sheet.cell(row, static_cast<int>(column) + 1) == entry.cells[column])) {
            return false;
        }
    }
    return !entry.cells.empty();
}

} // namespace

DeadEntryDeletion DeleteDeadEntries(const std::filesystem::path& dataFile,
                                    const std::vector<LinkTarget>& entries) {
    DataFileLock lock(dataFile);
    Workbook book = ReadXlsFile(dataFile);
    Sheet& sheet = book.sheet(EntrySheetName);
    const auto rowsBySerial = RowsBySerial(sheet);
    DeadEntryDeletion result;
    std::vector<int> rows;
    for (const LinkTarget& entry : entries) {
        auto found = rowsBySerial.find(entry.serial);
        if (found != rowsBySerial.end() &&
            std::find(rows.begin(), rows.end(), found->second) != rows.end()) {
            continue; // listed twice
        }
        if (found == rowsBySerial.end() || !AsChecked(sheet, found->second, entry)) {
            result.changed.push_back(entry.serial);
            continue;
        }
        rows.push_back(found->second);
        result.deleted.push_back(entry.serial);
    }
    if (rows.empty()) {
        return result;
    }
    // From the bottom up, so that the rows still to go keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (int row : rows) {
        sheet.deleteRow(row);
    }
    WriteXlsFile(book, dataFile);
    return result;
}

} // namespace tomorine
