#pragma once

#include "store/workbook/workbook.h"
#include "store/xls/record_writer.h"
#include "store/xls/shared_string_writer.h"

#include <cstddef>
#include <vector>

namespace tomorine::biff {

// Writes the workbook globals substream, BOF to EOF, in xlwt's record order
// plus EXTSST. Returns the stream positions of the BOUNDSHEET fields that must
// receive each sheet's BOF position, one per sheet, in order.
std::vector<std::size_t> WriteGlobals(RecordWriter& out, const Workbook& book,
                                      const SharedStrings& strings);

} // namespace tomorine::biff
