#include "store/xls/worksheet_reader.h"

#include "store/xls/biff_record_reader.h"
#include "store/xls/biff_records.h"
#include "store/xls/cell_records.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_fault.h"

namespace tomorine::xls {

namespace {

[[noreturn]] void MissingEof() {
    Fail(FaultKind::Truncated, "シートの終わり (EOF) がありません");
}

void SkipSubstream(BiffRecordReader& records) {
    BiffRecord record;
    while (records.next(record)) {
        if (record.id == biff::Eof) {
            return;
        }
    }
    MissingEof();
}

// A BIFF8 worksheet BOF record that ends exactly at `offset`.
bool WorksheetBofEndsAt(std::span<const std::uint8_t> stream, BiffRecordReader& records,
                        std::size_t offset) {
    constexpr std::size_t kBofSize = 4 + 16;
    if (offset < kBofSize || offset > stream.size()) {
        return false;
    }
    const std::uint8_t* p = records.bytesAt(offset - kBofSize, kBofSize).data();
    return Le16(p) == biff::Bof && Le16(p + 2) == 16 && Le16(p + 6) == biff::Worksheet;
}

void CheckWorksheetBof(std::span<const std::uint8_t> stream, BiffRecordReader& records,
                       std::size_t begin) {
    if (begin + 2 <= stream.size() && Le16(records.bytesAt(begin, 2).data()) != biff::Bof &&
        WorksheetBofEndsAt(stream, records, begin)) {
        return; // some writers point the sheet's offset just past its BOF
    }
    BiffRecord bof;
    if (!records.next(bof) || bof.id != biff::Bof || bof.body.size() < 4) {
        Fail(FaultKind::Corrupt,
             "オフセット " + std::to_string(begin) + " にシートの BOF がありません");
    }
    const std::uint16_t type = Le16(bof.body.data() + 2);
    if (type != biff::Worksheet) {
        Fail(FaultKind::Corrupt, "ワークシートのはずの BOF の種類が " + Hex16(type) + " です");
    }
}

} // namespace

std::size_t ReadWorksheet(std::span<const std::uint8_t> stream, std::size_t begin,
                          const std::vector<Cell>& sharedStrings, SheetBuilder& sheet,
                          RowSpanRecorder* rows) {
    BiffRecordReader records(stream, begin);
    CheckWorksheetBof(stream, records, begin);
    BiffRecord record;
    for (std::size_t at = records.position(); records.next(record); at = records.position()) {
        if (rows != nullptr) {
            rows->record(record.id, at, records.position(), record.body);
        }
        switch (record.id) {
        case biff::LabelSst:
            ReadLabelSst(record.body, sharedStrings, sheet);
            break;
        case biff::Number:
            ReadNumber(record.body, sheet);
            break;
        case biff::Rk:
            ReadRk(record.body, sheet);
            break;
        case biff::MulRk:
            ReadMulRk(record.body, sheet);
            break;
        case biff::Label:
        case biff::RString:
            ReadLabel(record.body, records, sheet);
            break;
        case biff::BoolErr:
            ReadBoolErr(record.body, sheet);
            break;
        case biff::Formula:
            ReadFormula(record.body, records, sheet);
            break;
        case biff::Bof: // an embedded chart
            SkipSubstream(records);
            break;
        case biff::Eof:
            return records.position();
        default: // BLANK, MULBLANK and formatting: nothing to keep
            break;
        }
    }
    MissingEof();
}

} // namespace tomorine::xls
