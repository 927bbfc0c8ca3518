#pragma once

#include "store/workbook/workbook.h"
#include "store/xls/record_writer.h"
#include "store/xls/shared_string_writer.h"

#include <cstddef>
#include <vector>

namespace tomorine::biff {

// Writes the workbook globals substream in xlwt's record order from its BOF
// up to the shared strings, which the caller writes, then EOF. Returns the
// stream positions of the BOUNDSHEET fields that must receive each sheet's
// BOF position, one per sheet, in order.
std::vector<std::size_t> WriteGlobalsHead(RecordWriter& out, const Workbook& book);

// Whether a WRITEACCESS record's body is the one written here: Excel and
// LibreOffice put their user's name there when they save.
bool IsOwnWriteAccess(std::span<const std::uint8_t> body);

} // namespace tomorine::biff
