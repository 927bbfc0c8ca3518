#pragma once

#include "store/workbook/cell.h"
#include "store/xls/record_writer.h"

#include <cstdint>
#include <optional>

namespace tomorine::biff {

// The RK value of a number that RK holds as a 30-bit integer, exactly.
std::optional<std::uint32_t> RkInteger(double value);

// One non-empty cell at 0-based `row` and `column`: RK for integers RK can
// hold, NUMBER for other numbers, LABELSST (shared string `textIndex`) for
// texts, BOOLERR for booleans and errors.
void WriteCell(RecordWriter& out, std::uint16_t row, std::uint16_t column, const Cell& cell,
               std::uint32_t textIndex);

} // namespace tomorine::biff
