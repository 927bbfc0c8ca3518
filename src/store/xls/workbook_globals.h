#pragma once

#include "store/workbook/cell.h"
#include "store/xls/stored_layout.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tomorine::xls {

struct SheetEntry {
    std::u16string name;
    std::uint32_t offset = 0; // of the sheet's BOF in the stream
    std::uint8_t type = 0;    // 0 worksheet, 1 macro sheet, 2 chart, 6 module
};

struct WorkbookGlobals {
    std::vector<SheetEntry> sheets;
    std::vector<Cell> sharedStrings; // texts
    std::size_t end = 0;             // just past the globals' EOF
    // A file this codec wrote: its SST with every string's start, and no
    // CONTINUE records beyond those the strings take.
    bool ownLayout = false;
    std::uint32_t sstBegin = 0;
    std::uint32_t sstEnd = 0;
    std::vector<StoredStringStart> stringStarts;
};

// The workbook globals substream at the start of a BIFF8 stream. Refuses
// files older than BIFF8 and encrypted ones.
WorkbookGlobals ReadWorkbookGlobals(std::span<const std::uint8_t> stream);

} // namespace tomorine::xls
