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
// What a save by changes needs of the table: where each string starts in
// the stream, and whether any holds half a surrogate pair.
struct StringNotes {
    std::vector<StoredStringStart> starts;
    bool loneSurrogate = false;
};

// With `notes`, also those of the strings read, `stream` being the whole.
std::vector<Cell> ReadSharedStrings(std::span<const std::uint8_t> body, BiffRecordReader& records,
                                    std::span<const std::uint8_t> stream = {},
                                    StringNotes* notes = nullptr);

} // namespace tomorine::xls
