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

std::u16string StoredUrl(const Sheet& sheet, int row) {
    const FieldLayout& layout = LayoutOf(FieldGroup::Url);
    std::u16string url;
    for (int chunk = 0; chunk < layout.chunks; ++chunk) {
        url += CellToText(sheet.cell(row, layout.firstColumn + chunk));
    }
    return url;
}

} // namespace

std::vector<std::int32_t> DeleteDeadEntries(const std::filesystem::path& dataFile,
                                            const std::vector<DeadEntry>& entries) {
    DataFileLock lock(dataFile);
    Workbook book = ReadXlsFile(dataFile);
    Sheet& sheet = book.sheet(EntrySheetName);
    const auto rowsBySerial = RowsBySerial(sheet);
    std::vector<std::int32_t> removed;
    std::vector<int> rows;
    for (const DeadEntry& entry : entries) {
        auto found = rowsBySerial.find(entry.serial);
        if (found == rowsBySerial.end() || StoredUrl(sheet, found->second) != entry.url ||
            std::find(rows.begin(), rows.end(), found->second) != rows.end()) {
            continue;
        }
        rows.push_back(found->second);
        removed.push_back(entry.serial);
    }
    if (rows.empty()) {
        return removed;
    }
    // From the bottom up, so that the rows still to go keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (int row : rows) {
        sheet.deleteRow(row);
    }
    WriteXlsFile(book, dataFile);
    return removed;
}

} // namespace tomorine
