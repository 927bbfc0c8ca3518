#include "store/table/row_undo_log.h"

namespace tomorine {

void RowUndoLog::start() {
    active_ = true;
    originalLastRow_ = sheet_.lastUsedRow();
    originalRows_.clear();
}

void RowUndoLog::remember(int row) {
    if (!active_) {
        start();
    }
    if (row <= originalLastRow_ && !originalRows_.contains(row)) {
        originalRows_.emplace(row, sheet_.row(row));
    }
}

void RowUndoLog::rollback() {
    if (!active_) {
        return;
    }
    while (sheet_.lastUsedRow() > originalLastRow_) {
        sheet_.deleteRow(sheet_.lastUsedRow());
    }
    for (auto& [row, cells] : originalRows_) {
        sheet_.replaceRow(row, std::move(cells));
    }
    commit();
}

void RowUndoLog::commit() {
    active_ = false;
    originalRows_.clear();
}

} // namespace tomorine
