#pragma once

#include "store/entry.h"
#include "store/table/recordset.h"
#include "store/workbook/cell.h"

#include <map>
#include <string>
#include <vector>

namespace tomorine::test {

// The result rows of the search statement built by hand: every column of the
// entry sheet, Null unless a row names it.
using PageRow = std::map<std::u16string, Cell>;

inline Recordset PageRows(const std::vector<PageRow>& rows) {
    const std::vector<std::u16string>& names = EntryColumnNames();
    std::vector<Cell> values;
    for (const PageRow& row : rows) {
        for (const std::u16string& name : names) {
            auto it = row.find(name);
            values.push_back(it == row.end() ? Cell() : it->second);
        }
    }
    return Recordset(names, std::move(values));
}

inline Cell Text(std::u16string text) {
    return Cell::text(std::move(text));
}

} // namespace tomorine::test
