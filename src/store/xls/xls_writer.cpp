#include "store/workbook/workbook_error.h"
#include "store/xls/atomic_file.h"
#include "store/xls/compound_file_writer.h"
#include "store/xls/globals_records.h"
#include "store/xls/record_writer.h"
#include "store/xls/shared_strings.h"
#include "store/xls/sheet_records.h"
#include "store/xls/xls_file.h"

namespace tomorine {

std::vector<std::uint8_t> WriteXlsBytes(const Workbook& book) {
    if (book.sheetCount() == 0) {
        throw WorkbookError(ErrorNumber::SheetRule, "シートが 1 枚もないブックは保存できません");
    }
    constexpr std::size_t kGlobals = 8192;
    std::size_t textCells = 0;
    std::size_t bytes = cfb::HeaderSize + kGlobals;
    for (int i = 1; i <= book.sheetCount(); ++i) {
        const biff::SheetExtent extent = biff::MeasureSheet(book.sheet(i));
        textCells += extent.textCells;
        bytes += extent.bytes;
    }
    biff::SharedStrings strings(textCells);
    std::vector<std::uint32_t> textIndexes;
    textIndexes.reserve(textCells);
    for (int i = 1; i <= book.sheetCount(); ++i) {
        biff::CollectSheetTexts(book.sheet(i), strings, textIndexes);
    }

    // The Workbook stream is built in place, after room for the file header,
    // in a buffer that need not grow: the FAT adds 4 bytes per 512.
    std::vector<std::uint8_t> file(cfb::HeaderSize);
    file.reserve(bytes + bytes / 128 + 4096);
    biff::RecordWriter out(file, cfb::HeaderSize);
    const std::vector<std::size_t> sheetOffsetFields = biff::WriteGlobals(out, book, strings);
    std::span<const std::uint32_t> indexes = textIndexes;
    for (int i = 1; i <= book.sheetCount(); ++i) {
        out.patchU32(sheetOffsetFields[i - 1], static_cast<std::uint32_t>(out.position()));
        biff::WriteSheet(out, book.sheet(i), i == 1, indexes);
    }
    if (out.position() > cfb::MaxStreamSize) {
        throw WorkbookError(ErrorNumber::FileAccess,
                            "ブックが大きすぎて Excel 97-2003 形式では保存できません");
    }
    cfb::FinishCompoundFile(file);
    return file;
}

void WriteXlsFile(const Workbook& book, const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = WriteXlsBytes(book);
    } catch (const WorkbookError& e) {
        throw WorkbookError(e.number(), QuotedPath(path) + " を保存できません: " + e.description());
    }
    WriteFileAtomically(path, bytes);
}

} // namespace tomorine
