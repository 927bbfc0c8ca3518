#include "store/xls/cell_records.h"

#include "store/xls/biff_records.h"
#include "store/xls/continued_reader.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_fault.h"

#include <bit>

namespace tomorine::xls {

namespace {

void RequireLength(std::span<const std::uint8_t> body, std::size_t length, const char* record) {
    if (body.size() < length) {
        Fail(FaultKind::Corrupt, std::string(record) + " レコードが " +
                                     std::to_string(body.size()) + " バイトしかありません");
    }
}

std::uint16_t Row(std::span<const std::uint8_t> body) {
    return Le16(body.data());
}

std::uint16_t Column(std::span<const std::uint8_t> body) {
    return Le16(body.data() + 2);
}

std::u16string StringResult(BiffRecordReader& records) {
    BiffRecord record;
    bool found = records.next(record);
    if (found && (record.id == biff::SharedFormula || record.id == biff::Array ||
                  record.id == biff::Table)) {
        found = records.next(record);
    }
    if (!found || record.id != biff::String) {
        Fail(FaultKind::Corrupt, "文字列を返す数式の後に STRING レコードがありません");
    }
    ContinuedReader in(record.body, records, "STRING レコード");
    return in.string(2, false);
}

} // namespace

double RkNumber(std::uint32_t rk) {
    double value = 0;
    if ((rk & 0x02) != 0) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        value = std::bit_cast<double>(static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32);
    }
    return (rk & 0x01) != 0 ? value / 100.0 : value;
}

void ReadNumber(std::span<const std::uint8_t> body, SheetBuilder& sheet) {
    RequireLength(body, 14, "NUMBER");
    sheet.put(Row(body), Column(body), Cell::number(LeDouble(body.data() + 6)));
}

void ReadRk(std::span<const std::uint8_t> body, SheetBuilder& sheet) {
    RequireLength(body, 10, "RK");
    sheet.put(Row(body), Column(body), Cell::number(RkNumber(Le32(body.data() + 6))));
}

void ReadMulRk(std::span<const std::uint8_t> body, SheetBuilder& sheet) {
    RequireLength(body, 12, "MULRK");
    const std::uint16_t first = Column(body);
    const std::uint16_t last = Le16(body.data() + body.size() - 2);
    if (last < first || 6 + 6 * std::size_t{last - first + 1u} > body.size()) {
        Fail(FaultKind::Corrupt, "MULRK レコードの列の範囲 " + std::to_string(first + 1) + "–" +
                                     std::to_string(last + 1) + " が長さに合いません");
    }
    const std::uint8_t* rk = body.data() + 6; // each entry: XF index, then the RK value
    for (unsigned column = first; column <= last; ++column, rk += 6) {
        sheet.put(Row(body), static_cast<std::uint16_t>(column), Cell::number(RkNumber(Le32(rk))));
    }
}

void ReadBoolErr(std::span<const std::uint8_t> body, SheetBuilder& sheet) {
    RequireLength(body, 8, "BOOLERR");
    const std::uint8_t value = body[6];
    sheet.put(Row(body), Column(body),
              body[7] != 0 ? Cell::error(value) : Cell::boolean(value != 0));
}

void ReadLabelSst(std::span<const std::uint8_t> body, const std::vector<Cell>& sharedStrings,
                  SheetBuilder& sheet) {
    RequireLength(body, 10, "LABELSST");
    const std::uint32_t index = Le32(body.data() + 6);
    if (index >= sharedStrings.size()) {
        Fail(FaultKind::Corrupt, "共有文字列 " + std::to_string(index) + " 番がありません（" +
                                     std::to_string(sharedStrings.size()) + " 個です）");
    }
    sheet.put(Row(body), Column(body), sharedStrings[index]);
}

void ReadLabel(std::span<const std::uint8_t> body, BiffRecordReader& records, SheetBuilder& sheet) {
    RequireLength(body, 8, "LABEL");
    ContinuedReader in(body.subspan(6), records, "LABEL レコード");
    sheet.put(Row(body), Column(body), Cell::text(in.string(2, false)));
}

void ReadFormula(std::span<const std::uint8_t> body, BiffRecordReader& records,
                 SheetBuilder& sheet) {
    RequireLength(body, 14, "FORMULA");
    const std::uint8_t* result = body.data() + 6;
    Cell value;
    if (Le16(result + 6) != 0xFFFF) {
        value = Cell::number(LeDouble(result));
    } else {
        switch (result[0]) {
        case 0:
            value = Cell::text(StringResult(records));
            break;
        case 1:
            value = Cell::boolean(result[2] != 0);
            break;
        case 2:
            value = Cell::error(result[2]);
            break;
        case 3:
            value = Cell::text(std::u16string());
            break;
        default:
            Fail(FaultKind::Corrupt,
                 "数式の結果の種類 " + std::to_string(result[0]) + " は不明です");
        }
    }
    sheet.put(Row(body), Column(body), std::move(value));
}

} // namespace tomorine::xls
