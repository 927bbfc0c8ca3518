#include "store/xls/cell_record_writer.h"

#include "store/xls/biff_records.h"
#include "store/xls/format_records.h"

#include <cmath>

namespace tomorine::biff {

namespace {

constexpr std::uint8_t kNumError = 0x24;

void WriteCellHeader(RecordWriter& out, std::uint16_t id, std::uint16_t row, std::uint16_t column) {
    out.begin(id);
    out.u16(row);
    out.u16(column);
    out.u16(DefaultCellXf);
}

void WriteBoolErr(RecordWriter& out, std::uint16_t row, std::uint16_t column, std::uint8_t value,
                  bool isError) {
    WriteCellHeader(out, BoolErr, row, column);
    out.u8(value);
    out.u8(isError ? 1 : 0);
    out.end();
}

void WriteNumber(RecordWriter& out, std::uint16_t row, std::uint16_t column, double value) {
    if (!std::isfinite(value)) {
        // No spreadsheet number is infinite or NaN; Excel shows #NUM! for them.
        WriteBoolErr(out, row, column, kNumError, true);
        return;
    }
    if (const auto rk = RkInteger(value)) {
        WriteCellHeader(out, Rk, row, column);
        out.u32(*rk);
    } else {
        WriteCellHeader(out, Number, row, column);
        out.f64(value);
    }
    out.end();
}

} // namespace

std::optional<std::uint32_t> RkInteger(double value) {
    constexpr double kLimit = 1 << 29;
    // -0.0 would come back as +0.0: keep it a NUMBER.
    if (!(value >= -kLimit && value < kLimit) || std::trunc(value) != value ||
        std::signbit(value) != (value < 0)) {
        return std::nullopt;
    }
    const auto integer = static_cast<std::int32_t>(value);
    return static_cast<std::uint32_t>(integer) << 2 | 0x2;
}

void WriteCell(RecordWriter& out, std::uint16_t row, std::uint16_t column, const Cell& cell,
               std::uint32_t textIndex) {
    switch (cell.kind()) {
    case CellKind::Number:
        WriteNumber(out, row, column, cell.asNumber());
        break;
    case CellKind::Text:
        WriteCellHeader(out, LabelSst, row, column);
        out.u32(textIndex);
        out.end();
        break;
    case CellKind::Boolean:
        WriteBoolErr(out, row, column, cell.asBoolean() ? 1 : 0, false);
        break;
    case CellKind::Error:
        WriteBoolErr(out, row, column, cell.errorCode(), true);
        break;
    case CellKind::Empty:
        break;
    }
}

} // namespace tomorine::biff
