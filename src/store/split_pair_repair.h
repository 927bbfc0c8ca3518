#pragma once

#include "store/workbook/workbook.h"

#include <optional>

namespace tomorine {

// The workbook as a save must write it, so that xlrd (which refuses a whole
// file for half a surrogate pair in one cell) reads it; nothing when it can
// be written as it is. Older versions cut an entry's chunks between the
// halves of a pair: such a field of an entry row is joined and cut again as
// an update would store it (or, where that would no longer fit its columns,
// the pair is joined in the earlier chunk). In other sheets (an older
// layout's before its conversion) a pair split over two neighbouring cells
// is joined in the earlier one. A half with no partner left, in any cell,
// becomes U+FFFD. Rows without halves are kept cell for cell.
std::optional<Workbook> RepairSplitPairs(const Workbook& book);

} // namespace tomorine
