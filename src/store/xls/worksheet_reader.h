#pragma once

#include "store/xls/row_spans.h"
#include "store/xls/sheet_builder.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tomorine::xls {

// Reads the worksheet substream that starts at `begin` (its BOF) into
// `sheet`: every value cell, blanks left out, embedded chart substreams
// skipped. Returns the offset just past its EOF. `rows`, when given, follows
// every record.
std::size_t ReadWorksheet(std::span<const std::uint8_t> stream, std::size_t begin,
                          const std::vector<Cell>& sharedStrings, SheetBuilder& sheet,
                          RowSpanRecorder* rows = nullptr);

} // namespace tomorine::xls
