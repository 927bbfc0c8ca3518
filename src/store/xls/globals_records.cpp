#include "store/xls/globals_records.h"

#include "store/workbook/workbook_error.h"
#include "store/xls/biff_records.h"
#include "store/xls/format_records.h"
#include "store/xls/le_bytes.h"
#include "store/xls/substream_records.h"

#include <algorithm>
#include <string_view>

namespace tomorine::biff {

namespace {

constexpr std::uint16_t kUtf16CodePage = 1200;
constexpr std::size_t kWriteAccessSize = 112;
constexpr std::u16string_view kUserName = u"トモリネ";

void WriteInterfaceRecords(RecordWriter& out) {
    WriteU16Record(out, InterfaceHdr, kUtf16CodePage);
    WriteU16Record(out, Mms, 0);
    out.begin(InterfaceEnd);
    out.end();
}

// The user name, padded with spaces to the fixed record size. xlwt writes
// bare bytes here; this is the string form that Excel itself writes.
void WriteWriteAccess(RecordWriter& out) {
    out.begin(WriteAccess);
    out.u16(static_cast<std::uint16_t>(kUserName.size()));
    out.u8(1);
    out.chars(kUserName, true);
    while (out.offsetInRecord() < 4 + kWriteAccessSize) {
        out.u8(' ');
    }
    out.end();
}

void WriteTabIds(RecordWriter& out, int sheetCount) {
    std::vector<std::uint8_t> body;
    for (int i = 1; i <= sheetCount; ++i) {
        le::PutU16(body, static_cast<std::uint16_t>(i));
    }
    out.record(TabId, body);
}

void WriteProtection(RecordWriter& out) {
    for (std::uint16_t id :
         {WindowProtect, Protect, ObjProtect, Password, Prot4Rev, Prot4RevPass}) {
        WriteU16Record(out, id, 0);
    }
}

void WriteWindow1(RecordWriter& out) {
    out.begin(Window1);
    out.u16(0x01E0); // horizontal position, twips
    out.u16(0x005A); // vertical position
    out.u16(0x3FCF); // width
    out.u16(0x2A4E); // height
    out.u16(0x0038); // scroll bars and sheet tabs shown
    out.u16(0);      // active sheet
    out.u16(0);      // first visible tab
    out.u16(1);      // selected sheets
    out.u16(600);    // tab bar width, per mille
    out.end();
}

std::size_t WriteBoundSheet(RecordWriter& out, const Sheet& sheet) {
    const std::u16string& name = sheet.name();
    if (name.empty() || name.size() > 255) {
        throw WorkbookError(WorkbookFault::SheetRule, "シート名が長すぎて保存できません");
    }
    out.begin(BoundSheet);
    const std::size_t offsetField = out.position();
    out.u32(0);
    out.u8(0); // visible
    out.u8(0); // worksheet
    out.u8(static_cast<std::uint8_t>(name.size()));
    out.u8(1);
    out.chars(name, true);
    out.end();
    return offsetField;
}

} // namespace

std::vector<std::size_t> WriteGlobalsHead(RecordWriter& out, const Workbook& book) {
    WriteBof(out, WorkbookGlobals);
    WriteInterfaceRecords(out);
    WriteWriteAccess(out);
    WriteU16Record(out, CodePage, kUtf16CodePage);
    WriteU16Record(out, Dsf, 0);
    WriteTabIds(out, book.sheetCount());
    WriteU16Record(out, FnGroupCount, 14);
    WriteProtection(out);
    WriteU16Record(out, Backup, 0);
    WriteU16Record(out, HideObj, 0);
    WriteWindow1(out);
    WriteU16Record(out, DateMode, 0);
    WriteU16Record(out, Precision, 1);
    WriteU16Record(out, RefreshAll, 0);
    WriteU16Record(out, BookBool, 0);
    WriteFormatRecords(out);
    WriteU16Record(out, UsesElfs, 1);
    std::vector<std::size_t> offsetFields;
    for (int i = 1; i <= book.sheetCount(); ++i) {
        offsetFields.push_back(WriteBoundSheet(out, book.sheet(i)));
    }
    return offsetFields;
}

bool IsOwnWriteAccess(std::span<const std::uint8_t> body) {
    std::vector<std::uint8_t> own;
    RecordWriter out(own, 0);
    WriteWriteAccess(out);
    return std::ranges::equal(body, std::span(own).subspan(4));
}

} // namespace tomorine::biff
