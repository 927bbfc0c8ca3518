#pragma once

#include "store/workbook/sheet.h"

#include <map>

namespace tomorine {

// What one statement changed on one sheet, so that a failing statement can
// put the sheet back exactly. Rows are copied before their first change;
// rows appended after the sheet's original end are simply cut off again.
class RowUndoLog {
public:
    explicit RowUndoLog(Sheet& sheet) : sheet_(sheet) {}

    // Call before changing `row` (also before appending).
    void remember(int row);
    // Restores the sheet as it was before the first remember() and forgets.
    void rollback();
    // Keeps the changes and forgets.
    void commit();
    bool active() const { return active_; }

private:
    void start();

    Sheet& sheet_;
    bool active_ = false;
    int originalLastRow_ = 0;
    std::map<int, Sheet::Row> originalRows_;
};

} // namespace tomorine
