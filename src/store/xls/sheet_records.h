#pragma once

#include "store/workbook/sheet.h"
#include "store/xls/record_writer.h"
#include "store/xls/shared_string_writer.h"
#include "store/xls/stored_layout.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tomorine::biff {

// Upper bounds, to size buffers before writing.
struct SheetExtent {
    std::size_t textCells = 0;
    std::size_t bytes = 0; // the sheet's records and its texts in the SST
};
SheetExtent MeasureSheet(const Sheet& sheet);
SheetExtent MeasureRow(const Sheet::Row& row);

// A text cell's text; throws WorkbookError for one longer than a cell may hold.
std::u16string_view CellText(const Sheet& sheet, int row, std::size_t column);

// Adds the sheet's texts to the shared strings, in the order WriteSheet
// writes the cells, and appends each text cell's string index to `indexes`.
// Throws WorkbookError for a text longer than a cell may hold.
void CollectSheetTexts(const Sheet& sheet, SharedStrings& strings,
                       std::vector<std::uint32_t>& indexes);

// Writes a worksheet substream, BOF to EOF, in xlwt's record order. Text
// cells take their string indexes from the front of `indexes`, which is
// advanced past them. Each row written is noted in `rows`.
void WriteSheet(RecordWriter& out, const Sheet& sheet, bool selected,
                std::span<const std::uint32_t>& indexes, std::vector<xls::StoredRow>& rows);

// The pieces of WriteSheet: the records before the rows, one row (a row with
// a used cell: its ROW record and cells), the records after the rows.
bool IsUsedRow(const Sheet::Row& row);
void WriteSheetHead(RecordWriter& out, const Sheet& sheet);
void WriteRow(RecordWriter& out, const Sheet& sheet, int row,
              std::span<const std::uint32_t>& indexes);
void WriteSheetTail(RecordWriter& out, bool selected);

} // namespace tomorine::biff
