#pragma once

#include "store/xls/record_writer.h"

#include <cstdint>

namespace tomorine::biff {

// XF index that every cell we write uses: the default cell format.
inline constexpr std::uint16_t DefaultCellXf = 16;

// The formatting tables of the workbook globals: FONT, FORMAT, the 16 style
// XFs and one cell XF, and the Normal STYLE. Values are those xlwt writes,
// whose workbooks Excel opens; we keep no formatting of our own.
void WriteFormatRecords(RecordWriter& out);

} // namespace tomorine::biff
