#pragma once

#include "store/table/recordset.h"
#include "store/workbook/workbook.h"

#include <memory>
#include <optional>
#include <string_view>

namespace tomorine {

// The statement form "select * from [NAME$] where COLUMN = 0" (the search's
// every-live-entry select) served straight from the sheet: the recordset
// reads the rows where they lie in `book`, which must not change while it
// lives. Gives nullopt, and the statement runs on SQLite, for any other
// text and wherever SQLite's answer could differ from the stored cells (a
// number column holding texts, a text column holding numbers, an empty or
// broken text), so that the statement keeps its meaning.
std::optional<Recordset> SelectLiveRows(const std::shared_ptr<Workbook>& book,
                                        std::u16string_view statement);

} // namespace tomorine
