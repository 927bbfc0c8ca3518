#include "store/files/atomic_file.h"
#include "store/split_pair_repair.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/compound_file_writer.h"
#include "store/xls/globals_records.h"
#include "store/xls/record_writer.h"
#include "store/xls/shared_string_writer.h"
#include "store/xls/sheet_records.h"
#include "store/xls/xls_file.h"

namespace tomorine {

namespace {

// Every text cell's shared string index, in writing order, and a bound on
// the file's size.
struct CollectedTexts {
    biff::SharedStrings strings;
    std::vector<std::uint32_t> indexes;
    std::size_t fileBound = 0;
};

CollectedTexts CollectTexts(const Workbook& book) {
    constexpr std::size_t kGlobals = 8192;
    std::size_t textCells = 0;
    std::size_t bytes = cfb::HeaderSize + kGlobals;
    for (int i = 1; i <= book.sheetCount(); ++i) {
        const biff::SheetExtent extent = biff::MeasureSheet(book.sheet(i));
        textCells += extent.textCells;
        bytes += extent.bytes;
    }
    // The FAT adds 4 bytes per 512-byte sector.
    CollectedTexts texts{biff::SharedStrings(textCells), {}, bytes + bytes / 128 + 4096};
    texts.indexes.reserve(textCells);
    for (int i = 1; i <= book.sheetCount(); ++i) {
        biff::CollectSheetTexts(book.sheet(i), texts.strings, texts.indexes);
    }
    return texts;
}

// The file's bytes; `loneSurrogate` tells whether a text holds half a pair.
std::vector<std::uint8_t> Encode(const Workbook& book, bool& loneSurrogate) {
    if (book.sheetCount() == 0) {
        throw WorkbookError(WorkbookFault::SheetRule, "シートが 1 枚もないブックは保存できません");
    }
    const CollectedTexts texts = CollectTexts(book);
    // The Workbook stream is built in place, after room for the file header.
    std::vector<std::uint8_t> file(cfb::HeaderSize);
    file.reserve(texts.fileBound);
    biff::RecordWriter out(file, cfb::HeaderSize);
    const std::vector<std::size_t> sheetOffsetFields = biff::WriteGlobals(out, book, texts.strings);
    std::span<const std::uint32_t> indexes = texts.indexes;
    for (int i = 1; i <= book.sheetCount(); ++i) {
        out.patchU32(sheetOffsetFields[i - 1], static_cast<std::uint32_t>(out.position()));
        biff::WriteSheet(out, book.sheet(i), i == 1, indexes);
    }
    if (out.position() > cfb::MaxStreamSize) {
        throw WorkbookError(WorkbookFault::FileAccess,
                            "ブックが大きすぎて Excel 97-2003 形式では保存できません");
    }
    cfb::FinishCompoundFile(file);
    loneSurrogate = texts.strings.holdsLoneSurrogate();
    return file;
}

} // namespace

std::vector<std::uint8_t> WriteXlsBytes(const Workbook& book) {
    bool loneSurrogate = false;
    return Encode(book, loneSurrogate);
}

SaveMethod WriteXlsFile(const Workbook& book, const std::filesystem::path& path,
                        SaveMethod /*allowed*/) {
    std::vector<std::uint8_t> bytes;
    try {
        bool loneSurrogate = false;
        bytes = Encode(book, loneSurrogate);
        if (loneSurrogate) { // which xlrd refuses: written again, mended
            if (const std::optional<Workbook> repaired = RepairSplitPairs(book)) {
                bytes = Encode(*repaired, loneSurrogate);
            }
        }
    } catch (const WorkbookError& e) {
        throw WorkbookError(e.fault(), QuotedPath(path) + " を保存できません: " + e.description());
    }
    WriteFileAtomically(path, bytes);
    return SaveMethod::Whole;
}

} // namespace tomorine
