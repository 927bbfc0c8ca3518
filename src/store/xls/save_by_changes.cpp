#include "store/xls/save_by_changes.h"

#include "store/files/file_stamp.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/biff_records.h"
#include "store/xls/byte_source.h"
#include "store/xls/compound_file_writer.h"
#include "store/xls/globals_records.h"
#include "store/xls/le_read.h"
#include "store/xls/row_spans.h"
#include "store/xls/shared_string_writer.h"
#include "store/xls/sheet_records.h"
#include "store/xls/substream_records.h"

#include <algorithm>

namespace tomorine::xls {

namespace {

constexpr std::size_t kSstCounts = 4 + 8; // header, total and unique counts

// A used row of the new file: copied from `source`, else written anew.
struct PlannedRow {
    int row = 0;
    const StoredRow* source = nullptr;
};

std::vector<PlannedRow> PlanRows(const Sheet& sheet, const StoredLayout& stored) {
    const int index = sheet.storedSheet();
    const std::vector<StoredRow>* rows =
        index >= 1 && index <= static_cast<int>(stored.sheets.size()) ? &stored.sheets[index - 1]
                                                                      : nullptr;
    // Rows keep their order: the stored row after the last one found is
    // tried before a search.
    std::size_t next = 0;
    const auto find = [&](int from) -> const StoredRow* {
        if (next >= rows->size() || (*rows)[next].row != from) {
            next = static_cast<std::size_t>(std::lower_bound(rows->begin(), rows->end(), from,
                                                             [](const StoredRow& row, int wanted) {
                                                                 return row.row < wanted;
                                                             }) -
                                            rows->begin());
        }
        return next < rows->size() && (*rows)[next].row == from ? &(*rows)[next++] : nullptr;
    };
    std::vector<PlannedRow> plan;
    plan.reserve(static_cast<std::size_t>(sheet.lastUsedRow()));
    for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
        if (biff::IsUsedRow(sheet.row(r))) {
            const int from = sheet.storedRow(r);
            plan.push_back({r, rows != nullptr && from != 0 ? find(from) : nullptr});
        }
    }
    return plan;
}

// The file the stored layout describes, read by stream offsets.
class StoredFile {
public:
    StoredFile(std::shared_ptr<ReadOnlyFile> fd, const StoredLayout& stored,
               const std::filesystem::path& path)
        : fd_(std::move(fd)), stored_(stored),
          source_(fd_->get(), static_cast<std::uint64_t>(stored.stamp.size), path) {}

    // Appends stream bytes [begin, end) to `out`; false when the file is
    // shorter or cannot be read.
    bool append(std::uint32_t begin, std::uint32_t end, std::vector<std::uint8_t>& out) const {
        const std::size_t at = out.size();
        out.resize(at + (end - begin));
        try {
            if (source_.copy(stored_.streamInFile + begin, std::span(out).subspan(at)) ==
                end - begin) {
                return true;
            }
        } catch (const WorkbookError&) {
            // read as a file that is not the one stored
        }
        out.resize(at);
        return false;
    }

    // The first bytes of a stored row are its ROW record.
    bool holdsRowAt(const StoredRow& row) const {
        std::vector<std::uint8_t> head;
        return append(row.begin, row.begin + 6, head) && Le16(head.data()) == biff::Row &&
               Le16(head.data() + 2) == 16 && Le16(head.data() + 4) == row.row - 1;
    }

    const StoredLayout& stored() const { return stored_; }
    const std::shared_ptr<ReadOnlyFile>& descriptor() const { return fd_; }

private:
    std::shared_ptr<ReadOnlyFile> fd_;
    const StoredLayout& stored_;
    mutable DescriptorSource source_;
};

// Checks that `bytes` hold the records of stored row `from`, and numbers
// them for row `to`.
bool Renumber(std::span<std::uint8_t> bytes, const StoredRow& from, int to,
              std::size_t stringCount) {
    bool first = true;
    for (std::size_t p = 0; p < bytes.size(); first = false) {
        if (bytes.size() - p < 6 || bytes.size() - p - 4 < Le16(bytes.data() + p + 2)) {
            return false;
        }
        const std::uint16_t id = Le16(bytes.data() + p);
        const std::size_t length = Le16(bytes.data() + p + 2);
        std::uint8_t* body = bytes.data() + p + 4;
        const bool fits =
            first ? id == biff::Row && length == 16 : OwnCellBody(id) == length && length != 0;
        if (!fits || Le16(body) != from.row - 1 ||
            (id == biff::LabelSst && Le32(body + 6) >= stringCount)) {
            return false;
        }
        body[0] = static_cast<std::uint8_t>((to - 1) & 0xFF);
        body[1] = static_cast<std::uint8_t>((to - 1) >> 8);
        p += 4 + length;
    }
    return !first;
}

struct Texts {
    biff::SharedStrings added;
    std::vector<std::uint32_t> indexes; // of the rows written anew, in order
    std::uint32_t total = 0;            // text cells in the workbook
};

// Bytes the new file keeps in memory, at most: what is not copied file to file.
std::size_t MemoryBound(const Workbook& book, const std::vector<std::vector<PlannedRow>>& plans,
                        const StoredLayout& stored) {
    constexpr std::size_t kFixed = 16384; // globals, each sheet's head and tail
    std::size_t bytes = kFixed + 1024 * plans.size();
    for (int i = 1; i <= book.sheetCount(); ++i) {
        for (const PlannedRow& planned : plans[i - 1]) {
            bytes += planned.source != nullptr
                         ? (planned.source->row != planned.row
                                ? planned.source->end - planned.source->begin
                                : 0)
                         : biff::MeasureRow(book.sheet(i).row(planned.row)).bytes;
        }
    }
    // The FAT adds 4 bytes per 512-byte sector.
    return bytes + (bytes + static_cast<std::size_t>(stored.stamp.size)) / 128 + 4096;
}

Texts CollectTexts(const Workbook& book, const std::vector<std::vector<PlannedRow>>& plans,
                   std::uint32_t oldCount) {
    Texts texts;
    for (int i = 1; i <= book.sheetCount(); ++i) {
        const Sheet& sheet = book.sheet(i);
        for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
            for (const Cell& cell : sheet.row(r)) {
                texts.total += cell.kind() == CellKind::Text ? 1 : 0;
            }
        }
        for (const PlannedRow& planned : plans[i - 1]) {
            const Sheet::Row& row = sheet.row(planned.row);
            for (std::size_t c = 0; planned.source == nullptr && c < row.size(); ++c) {
                if (row[c].kind() == CellKind::Text) {
                    texts.indexes.push_back(oldCount +
                                            texts.added.add(biff::CellText(sheet, planned.row, c)));
                }
            }
        }
    }
    return texts;
}

class ChangesWriter {
public:
    ChangesWriter(const StoredFile& file, EncodedWorkbook& encoded)
        : file_(file), encoded_(encoded), out_(encoded.file, cfb::HeaderSize) {}

    biff::RecordWriter& out() { return out_; }

    // Stream bytes [begin, end) of the old file, as they are.
    void copy(std::uint32_t begin, std::uint32_t end) {
        encoded_.copied.push_back(
            {encoded_.file.size(), file_.stored().streamInFile + begin, end - begin});
        out_.skip(end - begin);
    }

    // The old SST with the new counts, then the strings added. xlrd looks
    // for the first string in the SST record itself: an empty one is
    // written whole.
    bool writeStrings(const Texts& texts) {
        const StoredLayout& stored = file_.stored();
        if (stored.strings.empty() && texts.added.uniqueCount() != 0) {
            return false;
        }
        StoredLayout& layout = *encoded_.layout;
        layout.sstBegin = static_cast<std::uint32_t>(out_.position());
        const std::size_t at = encoded_.file.size();
        if (!file_.append(stored.sstBegin, stored.sstBegin + kSstCounts, encoded_.file) ||
            Le16(encoded_.file.data() + at) != biff::Sst ||
            Le32(encoded_.file.data() + at + 8) != stored.strings.size()) {
            return false;
        }
        out_.patchU32(layout.sstBegin + 4, texts.total);
        out_.patchU32(layout.sstBegin + 8, static_cast<std::uint32_t>(stored.strings.size() +
                                                                      texts.added.uniqueCount()));
        copy(stored.sstBegin + kSstCounts, stored.sstEnd);
        layout.strings.reserve(stored.strings.size() + texts.added.uniqueCount());
        for (const StoredStringStart& start : stored.strings) {
            layout.strings.push_back(
                {start.position - stored.sstBegin + layout.sstBegin, start.offsetInRecord});
        }
        texts.added.writeContinued(out_, layout.strings);
        layout.sstEnd = static_cast<std::uint32_t>(out_.position());
        biff::SharedStrings::WriteExtSst(out_, layout.strings);
        biff::WriteEof(out_);
        return true;
    }

    bool writeSheet(const Sheet& sheet, bool selected, const std::vector<PlannedRow>& plan,
                    std::span<const std::uint32_t>& indexes, std::vector<StoredRow>& rows) {
        biff::WriteSheetHead(out_, sheet);
        for (std::size_t k = 0; k < plan.size();) {
            if (plan[k].source == nullptr) {
                const auto begin = static_cast<std::uint32_t>(out_.position());
                biff::WriteRow(out_, sheet, plan[k].row, indexes);
                rows.push_back({plan[k].row, begin, static_cast<std::uint32_t>(out_.position())});
                ++k;
            } else if (k = copyRows(plan, k, rows); k == 0) {
                return false;
            }
        }
        biff::WriteSheetTail(out_, selected);
        return true;
    }

private:
    // Copies the rows of `plan` from `first` on that lie one after another in
    // both files, all moved or none; returns the next row, 0 on a fault.
    std::size_t copyRows(const std::vector<PlannedRow>& plan, std::size_t first,
                         std::vector<StoredRow>& rows) {
        const auto moved = [&](std::size_t k) { return plan[k].source->row != plan[k].row; };
        std::size_t last = first + 1;
        while (last < plan.size() && plan[last].source != nullptr &&
               plan[last].source->begin == plan[last - 1].source->end &&
               moved(last) == moved(first)) {
            ++last;
        }
        const StoredRow& from = *plan[first].source;
        const StoredRow& to = *plan[last - 1].source;
        const auto position = static_cast<std::uint32_t>(out_.position());
        if (!moved(first)) {
            if (!file_.holdsRowAt(from)) {
                return 0;
            }
            copy(from.begin, to.end);
        } else if (!renumberRows(plan, first, last)) {
            return 0;
        }
        for (std::size_t k = first; k < last; ++k) {
            const StoredRow& source = *plan[k].source;
            rows.push_back({plan[k].row, position + (source.begin - from.begin),
                            position + (source.end - from.begin)});
        }
        return last;
    }

    // Rows below a deleted one: read, checked and numbered anew.
    bool renumberRows(const std::vector<PlannedRow>& plan, std::size_t first, std::size_t last) {
        std::vector<std::uint8_t>& bytes = encoded_.file;
        const std::size_t at = bytes.size();
        const StoredRow& from = *plan[first].source;
        if (!file_.append(from.begin, plan[last - 1].source->end, bytes)) {
            return false;
        }
        for (std::size_t k = first; k < last; ++k) {
            const StoredRow& source = *plan[k].source;
            const std::span<std::uint8_t> span(bytes.data() + at + (source.begin - from.begin),
                                               source.end - source.begin);
            if (!Renumber(span, source, plan[k].row, file_.stored().strings.size())) {
                return false;
            }
        }
        return true;
    }

    const StoredFile& file_;
    EncodedWorkbook& encoded_;
    biff::RecordWriter out_;
};

std::optional<EncodedWorkbook> Encode(const Workbook& book, const StoredFile& file) {
    const StoredLayout& stored = file.stored();
    std::vector<std::vector<PlannedRow>> plans;
    for (int i = 1; i <= book.sheetCount(); ++i) {
        plans.push_back(PlanRows(book.sheet(i), stored));
    }
    const Texts texts =
        CollectTexts(book, plans, static_cast<std::uint32_t>(stored.strings.size()));
    if (texts.added.holdsLoneSurrogate()) {
        return std::nullopt;
    }
    EncodedWorkbook encoded{std::vector<std::uint8_t>(cfb::HeaderSize),
                            std::make_shared<StoredLayout>(),
                            {},
                            file.descriptor()};
    encoded.file.reserve(MemoryBound(book, plans, stored));
    encoded.layout->streamInFile = cfb::HeaderSize;
    ChangesWriter writer(file, encoded);
    const std::vector<std::size_t> sheetOffsetFields = biff::WriteGlobalsHead(writer.out(), book);
    if (!writer.writeStrings(texts)) {
        return std::nullopt;
    }
    std::span<const std::uint32_t> indexes = texts.indexes;
    encoded.layout->sheets.resize(plans.size());
    for (int i = 1; i <= book.sheetCount(); ++i) {
        // The field lies before every copied range.
        writer.out().patchU32(sheetOffsetFields[i - 1],
                              static_cast<std::uint32_t>(writer.out().position()));
        if (!writer.writeSheet(book.sheet(i), i == 1, plans[i - 1], indexes,
                               encoded.layout->sheets[i - 1])) {
            return std::nullopt;
        }
    }
    FinishWorkbookFile(encoded, writer.out());
    return encoded;
}

} // namespace

void FinishWorkbookFile(EncodedWorkbook& encoded, const biff::RecordWriter& out) {
    if (out.position() > cfb::MaxStreamSize) {
        throw WorkbookError(WorkbookFault::FileAccess,
                            "ブックが大きすぎて Excel 97-2003 形式では保存できません");
    }
    std::size_t elsewhere = 0;
    for (const CopiedRange& range : encoded.copied) {
        elsewhere += range.length;
    }
    cfb::FinishCompoundFile(encoded.file, elsewhere);
}

std::optional<EncodedWorkbook> EncodeChanges(const Workbook& book, const StoredLayout& stored,
                                             const std::filesystem::path& path) {
    // `path` must still name the file held open, unchanged.
    if (!stored.file || StampOfPath(path) != stored.stamp ||
        StampOfDescriptor(stored.file->get()) != stored.stamp) {
        return std::nullopt;
    }
    return Encode(book, StoredFile(stored.file, stored, path));
}

} // namespace tomorine::xls
