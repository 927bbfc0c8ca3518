#pragma once

#include "store/entry_layout.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

class Recordset;
class Cell;

// One bookmark: one row of the entry sheet.
struct Entry {
    std::int32_t serial = 0;
    std::u16string url;
    std::u16string title;
    std::u16string subtitle;
    std::u16string keywords;
    std::u16string comment;
};

// The text as the group's columns keep it: the joined chunks of SplitChunks,
// so whole characters up to the group's cap.
std::u16string FittedText(std::u16string_view text, FieldGroup group);
// The cut of earlier versions, which files written by them hold: slot i is
// the text's units from i * 125, whatever character falls at the border.
std::vector<std::u16string> FixedChunks(std::u16string_view text, int slots);

// A field value as text: numbers as the spreadsheet shows them, Null empty.
std::u16string CellToText(const Cell& value);
// A field value as a 32-bit integer (rounded half to even, clamped); Null 0.
std::int32_t CellToInt32(const Cell& value);

// The texts of the 56 chunk columns of an entry as they are stored, in sheet
// order: URL chunks as cut, the other chunks with the trailing-space rule.
std::vector<std::u16string> ChunkValues(const Entry& entry);

// Joins a group's columns of the recordset's current row: Null columns add
// nothing, and for every group but the URL each chunk gets the read-back rule.
std::u16string JoinField(const Recordset& row, FieldGroup group);
// The entry at the recordset's current row.
Entry ReadEntry(const Recordset& row);

} // namespace tomorine
