#pragma once

#include "store/workbook/cell.h"
#include "store/xls/biff_record_reader.h"
#include "store/xls/stored_layout.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tomorine::xls {

// The strings of an SST record and the CONTINUE records after it. Reading
// stops at the record's unique-string count, or earlier where the data ends
// at a string boundary: some writers overstate the count, and a cell that
// refers past the strings present is caught where it is read.
// With `starts`, also where each string starts in `stream`.
std::vector<Cell> ReadSharedStrings(std::span<const std::uint8_t> body, BiffRecordReader& records,
                                    std::span<const std::uint8_t> stream = {},
                                    std::vector<StoredStringStart>* starts = nullptr);

} // namespace tomorine::xls
