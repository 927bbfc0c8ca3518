#pragma once

#include "store/xls/biff_record_reader.h"
#include "store/xls/sheet_builder.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tomorine::xls {

// Decoders of the BIFF8 cell records, putting their values into a sheet.
// A record too short for its fields is a fault.

// The number an RK value packs: a 30-bit integer or the high 30 bits of a
// double, optionally divided by 100.
double RkNumber(std::uint32_t rk);

void ReadNumber(std::span<const std::uint8_t> body, SheetBuilder& sheet);
void ReadRk(std::span<const std::uint8_t> body, SheetBuilder& sheet);
void ReadMulRk(std::span<const std::uint8_t> body, SheetBuilder& sheet);
// A boolean or an error code.
void ReadBoolErr(std::span<const std::uint8_t> body, SheetBuilder& sheet);
void ReadLabelSst(std::span<const std::uint8_t> body, const std::vector<Cell>& sharedStrings,
                  SheetBuilder& sheet);
// LABEL and RSTRING: the text is in the record (a CONTINUE may carry the rest).
void ReadLabel(std::span<const std::uint8_t> body, BiffRecordReader& records, SheetBuilder& sheet);
// FORMULA: its cached result. A text result is in the STRING record that
// follows (after a SHRFMLA, ARRAY or TABLE record, if any), read from `records`.
void ReadFormula(std::span<const std::uint8_t> body, BiffRecordReader& records,
                 SheetBuilder& sheet);

} // namespace tomorine::xls
