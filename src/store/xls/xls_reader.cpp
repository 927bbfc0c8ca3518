#include "store/files/file_bytes.h"
#include "store/workbook/utf.h"
#include "store/xls/biff_records.h"
#include "store/xls/cfb_reader.h"
#include "store/xls/le_read.h"
#include "store/xls/sheet_builder.h"
#include "store/xls/workbook_globals.h"
#include "store/xls/worksheet_reader.h"
#include "store/xls/xls_fault.h"
#include "store/xls/xls_file.h"

#include <algorithm>

namespace tomorine {

namespace {

using xls::Fail;
using xls::FaultKind;

// Workbook::addSheet looks names up one by one; a file naming hundreds of
// thousands of sheets would take minutes.
constexpr std::size_t kMaxSheets = 10000;
constexpr std::uint8_t kWorksheetType = 0;

// A BIFF stream written without a compound file around it, as some
// programs do and as Excel 2.1 to 4.0 did.
bool IsBareBiffStream(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8) {
        return false;
    }
    const std::uint16_t id = xls::Le16(bytes.data());
    const std::uint16_t length = xls::Le16(bytes.data() + 2);
    return (id == biff::Bof || id == biff::Bof2 || id == biff::Bof3 || id == biff::Bof4) &&
           length >= 4 && length <= 20;
}

xls::StreamBytes WorkbookStream(std::span<const std::uint8_t> bytes) {
    if (xls::CompoundFile::HasSignature(bytes)) {
        const xls::CompoundFile file(bytes);
        for (std::u16string_view name : {u"Workbook", u"Book"}) {
            if (std::optional<xls::StreamBytes> stream = file.stream(name)) {
                return std::move(*stream);
            }
        }
        Fail(FaultKind::NotWorkbook, "Workbook ストリームも Book ストリームもありません");
    }
    if (IsBareBiffStream(bytes)) {
        return xls::StreamBytes(bytes);
    }
    if (bytes.size() >= 4 && bytes[0] == 'P' && bytes[1] == 'K' && bytes[2] == 3 && bytes[3] == 4) {
        Fail(FaultKind::NotWorkbook, "ZIP 形式です。Excel 2007 以降の .xlsx ではありませんか");
    }
    Fail(FaultKind::NotWorkbook, "複合ファイルではありません");
}

Sheet& AddSheet(Workbook& book, const std::u16string& name) {
    if (!Workbook::isValidSheetName(name)) {
        Fail(FaultKind::Corrupt, "シート名「" + ToUtf8(name) + "」は使えない名前です");
    }
    if (book.findSheet(name) != nullptr) {
        Fail(FaultKind::Corrupt, "シート名「" + ToUtf8(name) + "」が重複しています");
    }
    return book.addSheet(name);
}

std::vector<std::uint32_t> WorksheetOffsets(const xls::WorkbookGlobals& globals) {
    std::vector<std::uint32_t> offsets;
    for (const xls::SheetEntry& entry : globals.sheets) {
        if (entry.type == kWorksheetType) {
            offsets.push_back(entry.offset);
        }
    }
    if (offsets.size() > kMaxSheets) {
        Fail(FaultKind::Corrupt, "シートが " + std::to_string(offsets.size()) + " 枚あります（" +
                                     std::to_string(kMaxSheets) + " 枚まで）");
    }
    std::sort(offsets.begin(), offsets.end());
    if (std::adjacent_find(offsets.begin(), offsets.end()) != offsets.end()) {
        Fail(FaultKind::Corrupt, "2 枚のシートが同じ位置を指しています");
    }
    return offsets;
}

// Each worksheet is read from its BOF to its EOF, and no other worksheet may
// start in between: sheets never share records, so a file cannot make us
// read its stream over and over.
void ReadSheet(std::span<const std::uint8_t> stream, const xls::WorkbookGlobals& globals,
               const std::vector<Cell>& sharedStrings, const xls::SheetEntry& entry,
               const std::vector<std::uint32_t>& offsets, xls::SheetBuilder& builder) {
    if (entry.offset < globals.end || entry.offset >= stream.size()) {
        Fail(FaultKind::Corrupt, "位置 " + std::to_string(entry.offset) + " がストリームの外です");
    }
    const std::size_t end = xls::ReadWorksheet(stream, entry.offset, sharedStrings, builder);
    const auto next = std::upper_bound(offsets.begin(), offsets.end(), entry.offset);
    if (next != offsets.end() && *next < end) {
        Fail(FaultKind::Corrupt, "次のシートの範囲と重なっています");
    }
}

Workbook ReadBook(std::span<const std::uint8_t> bytes) {
    const xls::StreamBytes streamBytes = WorkbookStream(bytes);
    const std::span<const std::uint8_t> stream = streamBytes.bytes();
    xls::WorkbookGlobals globals = xls::ReadWorkbookGlobals(stream);
    const std::vector<std::uint32_t> offsets = WorksheetOffsets(globals);
    const std::vector<Cell> sharedStrings = std::move(globals.sharedStrings);
    xls::CellBudget budget(bytes.size());
    Workbook book;
    for (const xls::SheetEntry& entry : globals.sheets) {
        if (entry.type != kWorksheetType) {
            continue; // charts, macro sheets and modules
        }
        Sheet& sheet = AddSheet(book, entry.name);
        xls::SheetBuilder builder(budget);
        try {
            ReadSheet(stream, globals, sharedStrings, entry, offsets, builder);
        } catch (const xls::XlsFault& fault) {
            throw xls::XlsFault(fault.kind(),
                                "シート「" + ToUtf8(entry.name) + "」: " + fault.what());
        }
        builder.moveInto(sheet);
    }
    return book;
}

} // namespace

Workbook ReadXlsBytes(std::span<const std::uint8_t> bytes, const std::filesystem::path& name) {
    try {
        return ReadBook(bytes);
    } catch (const xls::XlsFault& fault) {
        throw xls::ToWorkbookError(fault, name);
    }
}

Workbook ReadXlsFile(const std::filesystem::path& path) {
    const FileBytes bytes = ReadFileBytes(path);
    return ReadXlsBytes(bytes, path);
}

} // namespace tomorine
