#pragma once

#include "store/xls/record_writer.h"

#include <cstdint>

namespace tomorine::biff {

// BOF of a substream (`type`: WorkbookGlobals or Worksheet) with the
// version fields xlwt writes.
void WriteBof(RecordWriter& out, std::uint16_t type);
void WriteEof(RecordWriter& out);
// The many records whose body is one 16-bit value.
void WriteU16Record(RecordWriter& out, std::uint16_t id, std::uint16_t value);

} // namespace tomorine::biff
