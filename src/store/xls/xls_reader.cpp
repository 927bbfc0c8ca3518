#include "store/files/file_bytes.h"
#include "store/files/file_stamp.h"
#include "store/workbook/utf.h"
#include "store/xls/biff_records.h"
#include "store/xls/cfb_reader.h"
#include "store/xls/le_read.h"
#include "store/xls/sheet_builder.h"
#include "store/xls/workbook_globals.h"
#include "store/xls/worksheet_reader.h"
#include "store/xls/xls_fault.h"
#include "store/xls/xls_file.h"
#include "store/xls/xls_source_reader.h"

#include <algorithm>
#include <fcntl.h>

namespace tomorine {

namespace {

using xls::Fail;
using xls::FaultKind;

// Workbook::addSheet looks names up one by one; a file naming hundreds of
// thousands of sheets would take minutes.
constexpr std::size_t kMaxSheets = 10000;
constexpr std::uint8_t kWorksheetType = 0;
// A file that changes while it is read is read at most this often; the last read stands.
constexpr int kReadAttempts = 3;

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

xls::StreamBytes WorkbookStream(xls::ByteSource& file, std::size_t blockBytes) {
    std::vector<std::uint8_t> buffer;
    const std::span<const std::uint8_t> bytes = file.read(0, 8, buffer);
    if (xls::CompoundFile::HasSignature(bytes)) {
        xls::CompoundFile compound(file);
        for (std::u16string_view name : {u"Workbook", u"Book"}) {
            if (std::optional<xls::StreamBytes> stream = compound.stream(name, blockBytes)) {
                return std::move(*stream);
            }
        }
        Fail(FaultKind::NotWorkbook, "Workbook ストリームも Book ストリームもありません");
    }
    if (IsBareBiffStream(bytes)) {
        if (!file.whole().empty()) {
            return xls::StreamBytes(file.whole());
        }
        return xls::StreamBytes(
            std::make_unique<xls::PagedStream>(file, std::vector<xls::PagedStream::Run>{{0, 0}},
                                               static_cast<std::size_t>(file.size()), blockBytes));
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

// Where the stream starts in the file when it lies there in one run.
std::optional<std::uint64_t> StreamInFile(const xls::StreamBytes& stream) {
    const xls::PagedStream* paged = stream.paged();
    if (paged == nullptr || paged->runs().size() != 1) {
        return std::nullopt;
    }
    return paged->runs().front().fileOffset;
}

// What a save by changes needs of a file laid out as this codec writes it.
class LayoutNotes {
public:
    LayoutNotes(xls::WorkbookGlobals& globals, const xls::StreamBytes& stream,
                const xls::StoredFileId* file) {
        const std::optional<std::uint64_t> start = StreamInFile(stream);
        if (!globals.ownLayout || !start || file == nullptr) {
            return;
        }
        layout_ = std::make_shared<xls::StoredLayout>();
        layout_->file = std::make_shared<ReadOnlyFile>(::fcntl(file->fd, F_DUPFD_CLOEXEC, 0));
        layout_->stamp = file->stamp;
        layout_->streamInFile = *start;
        layout_->sstBegin = globals.sstBegin;
        layout_->sstEnd = globals.sstEnd;
        layout_->strings = std::move(globals.stringStarts);
    }

    xls::RowSpanRecorder* recorder() { return layout_ ? &recorder_ : nullptr; }

    void sheetRead() {
        if (!layout_) {
            return;
        }
        if (!recorder_.valid()) {
            layout_.reset();
            return;
        }
        layout_->sheets.push_back(recorder_.take());
        recorder_ = {};
    }

    void attachTo(const Workbook& book) {
        if (layout_ && layout_->file->get() >= 0) {
            xls::StoredLayout::Attach(book, std::move(layout_));
        }
    }

private:
    std::shared_ptr<xls::StoredLayout> layout_;
    xls::RowSpanRecorder recorder_;
};

// Each worksheet is read from its BOF to its EOF, and no other worksheet may
// start in between: sheets never share records, so a file cannot make us
// read its stream over and over.
void ReadSheet(std::span<const std::uint8_t> stream, const xls::WorkbookGlobals& globals,
               const std::vector<Cell>& sharedStrings, const xls::SheetEntry& entry,
               const std::vector<std::uint32_t>& offsets, xls::SheetBuilder& builder,
               xls::RowSpanRecorder* rows) {
    if (entry.offset < globals.end || entry.offset >= stream.size()) {
        Fail(FaultKind::Corrupt, "位置 " + std::to_string(entry.offset) + " がストリームの外です");
    }
    const std::size_t end = xls::ReadWorksheet(stream, entry.offset, sharedStrings, builder, rows);
    const auto next = std::upper_bound(offsets.begin(), offsets.end(), entry.offset);
    if (next != offsets.end() && *next < end) {
        Fail(FaultKind::Corrupt, "次のシートの範囲と重なっています");
    }
}

Workbook ReadBook(xls::ByteSource& file, std::size_t blockBytes, std::size_t* heldBytes,
                  const xls::StoredFileId* stored) {
    const xls::StreamBytes streamBytes = WorkbookStream(file, blockBytes);
    const std::span<const std::uint8_t> stream = streamBytes.bytes();
    xls::WorkbookGlobals globals = xls::ReadWorkbookGlobals(stream);
    const std::vector<std::uint32_t> offsets = WorksheetOffsets(globals);
    globals.ownLayout = globals.ownLayout && offsets.size() == globals.sheets.size();
    LayoutNotes layout(globals, streamBytes, stored);
    const std::vector<Cell> sharedStrings = std::move(globals.sharedStrings);
    xls::CellBudget budget(static_cast<std::size_t>(file.size()));
    Workbook book;
    for (const xls::SheetEntry& entry : globals.sheets) {
        if (entry.type != kWorksheetType) {
            continue; // charts, macro sheets and modules
        }
        Sheet& sheet = AddSheet(book, entry.name);
        xls::SheetBuilder builder(budget);
        try {
            ReadSheet(stream, globals, sharedStrings, entry, offsets, builder, layout.recorder());
        } catch (const xls::XlsFault& fault) {
            throw xls::XlsFault(fault.kind(),
                                "シート「" + ToUtf8(entry.name) + "」: " + fault.what());
        }
        builder.moveInto(sheet);
        layout.sheetRead();
    }
    layout.attachTo(book);
    if (heldBytes != nullptr) {
        *heldBytes = streamBytes.paged() != nullptr ? streamBytes.paged()->peakHeldBytes() : 0;
    }
    return book;
}

} // namespace

Workbook ReadXlsSource(xls::ByteSource& file, const std::filesystem::path& name,
                       std::size_t blockBytes, std::size_t* heldBytes,
                       const xls::StoredFileId* stored) {
    try {
        return ReadBook(file, blockBytes, heldBytes, stored);
    } catch (const xls::XlsFault& fault) {
        throw xls::ToWorkbookError(fault, name);
    }
}

Workbook ReadXlsBytes(std::span<const std::uint8_t> bytes, const std::filesystem::path& name) {
    xls::MemorySource file(bytes);
    return ReadXlsSource(file, name);
}

Workbook ReadXlsDescriptor(int fd, const std::filesystem::path& name) {
    const std::optional<FileStamp> stamp = StampOfDescriptor(fd);
    const xls::StoredFileId id{fd, stamp.value_or(FileStamp{})};
    xls::DescriptorSource file(fd, ReadableFileSize(fd, name), name);
    return ReadXlsSource(file, name, xls::PagedStream::DefaultBlockBytes, nullptr,
                         stamp ? &id : nullptr);
}

// The file is read while it is parsed; one changed in place meanwhile (its
// stamp tells) is read again.
Workbook ReadXlsFile(const std::filesystem::path& path) {
    for (int attempt = 1;; ++attempt) {
        const ReadOnlyFile file = OpenFileForReading(path);
        const std::optional<FileStamp> before = StampOfDescriptor(file.get());
        const auto changed = [&] { return StampOfDescriptor(file.get()) != before; };
        try {
            Workbook book = ReadXlsDescriptor(file.get(), path);
            if (attempt == kReadAttempts || !changed()) {
                return book;
            }
        } catch (const WorkbookError&) {
            if (attempt == kReadAttempts || !changed()) {
                throw;
            }
        }
    }
}

} // namespace tomorine
