#include "store/files/atomic_file.h"
#include "store/files/atomic_file_writer.h"
#include "store/split_pair_repair.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/compound_file_writer.h"
#include "store/xls/globals_records.h"
#include "store/xls/record_writer.h"
#include "store/xls/save_by_changes.h"
#include "store/xls/shared_string_writer.h"
#include "store/xls/sheet_records.h"
#include "store/xls/substream_records.h"
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

// The file's bytes and layout; `loneSurrogate` tells whether a text holds half a pair.
xls::EncodedWorkbook Encode(const Workbook& book, bool& loneSurrogate) {
    if (book.sheetCount() == 0) {
        throw WorkbookError(WorkbookFault::SheetRule, "シートが 1 枚もないブックは保存できません");
    }
    const CollectedTexts texts = CollectTexts(book);
    xls::EncodedWorkbook encoded{std::vector<std::uint8_t>(cfb::HeaderSize),
                                 std::make_shared<xls::StoredLayout>(),
                                 {},
                                 nullptr};
    xls::StoredLayout& layout = *encoded.layout;
    layout.streamInFile = cfb::HeaderSize;
    // The Workbook stream is built in place, after room for the file header.
    encoded.file.reserve(texts.fileBound);
    biff::RecordWriter out(encoded.file, cfb::HeaderSize);
    const std::vector<std::size_t> sheetOffsetFields = biff::WriteGlobalsHead(out, book);
    layout.sstBegin = static_cast<std::uint32_t>(out.position());
    layout.strings.reserve(texts.strings.uniqueCount());
    texts.strings.write(out, layout.strings);
    layout.sstEnd = static_cast<std::uint32_t>(out.position());
    biff::SharedStrings::WriteExtSst(out, layout.strings);
    biff::WriteEof(out);
    std::span<const std::uint32_t> indexes = texts.indexes;
    layout.sheets.resize(book.sheetCount());
    for (int i = 1; i <= book.sheetCount(); ++i) {
        out.patchU32(sheetOffsetFields[i - 1], static_cast<std::uint32_t>(out.position()));
        biff::WriteSheet(out, book.sheet(i), i == 1, indexes, layout.sheets[i - 1]);
    }
    xls::FinishWorkbookFile(encoded, out);
    loneSurrogate = texts.strings.holdsLoneSurrogate();
    return encoded;
}

xls::EncodedWorkbook EncodeWhole(const Workbook& book) {
    bool loneSurrogate = false;
    xls::EncodedWorkbook encoded = Encode(book, loneSurrogate);
    if (loneSurrogate) { // which xlrd refuses: written again, mended
        if (const std::optional<Workbook> repaired = RepairSplitPairs(book)) {
            encoded = Encode(*repaired, loneSurrogate);
            encoded.layout.reset(); // its cells are not the book's
        }
    }
    return encoded;
}

void WriteEncoded(const std::filesystem::path& path, const xls::EncodedWorkbook& encoded) {
    if (encoded.copied.empty()) {
        WriteFileAtomically(path, encoded.file);
        return;
    }
    AtomicFileWriter out(path);
    const std::span<const std::uint8_t> bytes = encoded.file;
    std::size_t written = 0;
    for (const xls::CopiedRange& range : encoded.copied) {
        out.write(bytes.subspan(written, range.at - written));
        out.copy(encoded.source->get(), range.from, range.length);
        written = range.at;
    }
    out.write(bytes.subspan(written));
    out.commit();
}

// The layout of the file just written, holding it open; nullptr when it
// cannot be opened again.
std::shared_ptr<const xls::StoredLayout> HeldOpen(const std::filesystem::path& path,
                                                  std::shared_ptr<xls::StoredLayout> layout) {
    try {
        if (layout) {
            layout->file = std::make_shared<ReadOnlyFile>(OpenFileForReading(path));
            const std::optional<FileStamp> stamp = StampOfDescriptor(layout->file->get());
            layout->stamp = stamp.value_or(FileStamp{});
            return stamp ? std::move(layout) : nullptr;
        }
    } catch (const WorkbookError&) {
        // saved all the same; the next save is whole
    }
    return nullptr;
}

// What a save by changes of `book` could start from.
const xls::StoredLayout* StoredLayoutOf(const Workbook& book) {
    return dynamic_cast<const xls::StoredLayout*>(book.storedForm().get());
}

} // namespace

std::vector<std::uint8_t> WriteXlsBytes(const Workbook& book) {
    bool loneSurrogate = false;
    return Encode(book, loneSurrogate).file;
}

SaveMethod WriteXlsFile(const Workbook& book, const std::filesystem::path& path,
                        SaveMethod allowed) {
    const xls::StoredLayout* stored = StoredLayoutOf(book);
    std::optional<xls::EncodedWorkbook> encoded;
    SaveMethod method = SaveMethod::Changes;
    try {
        if (allowed == SaveMethod::Changes && stored != nullptr) {
            encoded = xls::EncodeChanges(book, *stored, path);
        }
        if (!encoded) {
            method = SaveMethod::Whole;
            encoded = EncodeWhole(book);
        }
    } catch (const WorkbookError& e) {
        throw WorkbookError(e.fault(), QuotedPath(path) + " を保存できません: " + e.description());
    }
    WriteEncoded(path, *encoded);
    // The file just replaced is let go elsewhere once the new layout takes over.
    std::shared_ptr<ReadOnlyFile> replaced = stored != nullptr ? stored->file : nullptr;
    encoded->source.reset();
    xls::StoredLayout::Attach(book, HeldOpen(path, std::move(encoded->layout)));
    ReleaseInBackground(std::move(replaced));
    return method;
}

} // namespace tomorine
