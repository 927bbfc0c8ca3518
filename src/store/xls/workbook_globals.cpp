#include "store/xls/workbook_globals.h"

#include "store/workbook/utf.h"
#include "store/xls/biff_record_reader.h"
#include "store/xls/biff_records.h"
#include "store/xls/continued_reader.h"
#include "store/xls/globals_records.h"
#include "store/xls/le_read.h"
#include "store/xls/shared_strings.h"
#include "store/xls/xls_fault.h"

#include <algorithm>

namespace tomorine::xls {

namespace {

void CheckGlobalsBof(const BiffRecord& bof) {
    if (bof.id == biff::Bof2 || bof.id == biff::Bof3 || bof.id == biff::Bof4) {
        Fail(FaultKind::TooOld, "Excel 4.0 以前");
    }
    if (bof.id != biff::Bof) {
        Fail(FaultKind::NotWorkbook, "先頭に BOF レコードがありません");
    }
    if (bof.body.size() < 4) {
        Fail(FaultKind::Corrupt, "BOF レコードが短すぎます");
    }
    const std::uint16_t version = Le16(bof.body.data());
    const std::uint16_t type = Le16(bof.body.data() + 2);
    if (version < biff::Biff8Version) {
        Fail(FaultKind::TooOld, version == biff::Biff5Version ? "Excel 5.0/95" : "Excel 4.0 以前");
    }
    if (version != biff::Biff8Version) {
        Fail(FaultKind::NotWorkbook, "BOF の版 " + Hex16(version) + " は BIFF8 ではありません");
    }
    if (type == biff::Workspace) {
        Fail(FaultKind::NotWorkbook, "ワークスペースファイルです");
    }
    if (type != biff::WorkbookGlobals) {
        Fail(FaultKind::NotWorkbook,
             "先頭の BOF の種類 " + Hex16(type) + " がブックではありません");
    }
}

SheetEntry ReadBoundSheet(std::span<const std::uint8_t> body, BiffRecordReader& records) {
    if (body.size() < 8) {
        Fail(FaultKind::Corrupt, "BOUNDSHEET レコードが短すぎます");
    }
    SheetEntry entry;
    entry.offset = Le32(body.data());
    entry.type = body[5];
    ContinuedReader in(body.subspan(6), records, "シート名");
    entry.name = in.string(1, false);
    return entry;
}

void ReadOwnSharedStrings(std::span<const std::uint8_t> stream, const BiffRecord& sst,
                          BiffRecordReader& records, WorkbookGlobals& globals) {
    globals.sstBegin = static_cast<std::uint32_t>(records.position() - 4 - sst.body.size());
    StringNotes notes;
    globals.sharedStrings = ReadSharedStrings(sst.body, records, stream, &notes);
    globals.sstEnd = static_cast<std::uint32_t>(records.position());
    globals.stringStarts = std::move(notes.starts);
    globals.ownLayout =
        Le32(sst.body.data() + 4) == globals.sharedStrings.size() && !notes.loneSurrogate;
}

} // namespace

WorkbookGlobals ReadWorkbookGlobals(std::span<const std::uint8_t> stream) {
    BiffRecordReader records(stream);
    BiffRecord record;
    if (!records.next(record)) {
        Fail(FaultKind::NotWorkbook, "ブックのストリームが空です");
    }
    CheckGlobalsBof(record);
    WorkbookGlobals globals;
    bool afterSst = false;
    while (records.next(record)) {
        // Nothing may come between the SST and its EXTSST that a save would drop.
        globals.ownLayout = globals.ownLayout && (!afterSst || record.id == biff::ExtSst);
        afterSst = record.id == biff::Sst;
        switch (record.id) {
        case biff::FilePass:
            Fail(FaultKind::Encrypted, "FILEPASS");
        case biff::BoundSheet:
            globals.sheets.push_back(ReadBoundSheet(record.body, records));
            break;
        case biff::WriteAccess:
            globals.ownLayout = biff::IsOwnWriteAccess(record.body);
            break;
        case biff::Sst:
            if (globals.ownLayout && record.body.size() >= 8) {
                ReadOwnSharedStrings(stream, record, records, globals);
            } else {
                globals.ownLayout = false;
                globals.sharedStrings = ReadSharedStrings(record.body, records);
            }
            break;
        case biff::Eof:
            globals.end = records.position();
            return globals;
        default:
            break;
        }
    }
    Fail(FaultKind::Truncated, "ブック全体の情報の終わり (EOF) がありません");
}

} // namespace tomorine::xls
