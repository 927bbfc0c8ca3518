#pragma once

#include "store/table/sheet_rows.h"

#include <string>
#include <vector>

namespace tomorine {

// The sheet rows of `reference`, in order, that no row of `entries` holds.
// An entry row holds a reference row when, in every one of `columns`, the
// reference has no value or the entry has the same value: a Null in the
// reference matches anything, a value never matches a Null. Every entry row
// counts, empty ones too. Hash indexes on the entries' columns, built as
// they are needed, keep this about linear.
std::vector<int> UnheldRows(const SheetRows& reference, const SheetRows& entries,
                            const std::vector<std::u16string>& columns);

} // namespace tomorine
