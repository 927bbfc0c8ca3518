#include "store/xls/save_by_changes.h"

#include "store/files/file_bytes.h"
#include "store/files/file_stamp.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/biff_records.h"
#include "store/xls/compound_file_writer.h"
#include "store/xls/globals_records.h"
#include "store/xls/le_bytes.h"
#include "store/xls/le_read.h"
#include "store/xls/row_spans.h"
#include "store/xls/shared_string_writer.h"
#include "store/xls/sheet_records.h"
#include "store/xls/substream_records.h"

#include <bit>
#include <cerrno>
#include <unistd.h>

namespace tomorine::xls {

namespace {

// Equal cells are written as equal bytes: numbers are compared bit for bit
// (0 and -0 are written differently).
bool SameCells(const Sheet::Row& a, const Sheet::Row& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t c = 0; c < a.size(); ++c) {
        if (a[c].kind() != b[c].kind()) {
            return false;
        }
        if (a[c].kind() == CellKind::Number) {
            if (std::bit_cast<std::uint64_t>(a[c].asNumber()) !=
                std::bit_cast<std::uint64_t>(b[c].asNumber())) {
                return false;
            }
        } else if (a[c].kind() == CellKind::Text ? a[c].asText().data() != b[c].asText().data() &&
                                                       a[c].asText() != b[c].asText()
                                                 : !(a[c] == b[c])) {
            return false;
        }
    }
    return true;
}

// A used row of the new file: copied from `source`, else written anew in
// place of `replaced` (if any).
struct PlannedRow {
    int row = 0;
    const StoredRow* source = nullptr;
    const StoredRow* replaced = nullptr;
};

// Rows that did not move keep their bytes; so do rows below a deleted one.
std::vector<PlannedRow> PlanRows(const Sheet& sheet, const std::vector<StoredRow>& stored) {
    std::vector<PlannedRow> plan;
    std::size_t j = 0;
    const auto same = [&](const Sheet::Row& row, std::size_t k) {
        return k < stored.size() && SameCells(stored[k].cells, row);
    };
    for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
        const Sheet::Row& row = sheet.row(r);
        if (!biff::IsUsedRow(row)) {
            continue;
        }
        if (same(row, j)) {
            plan.push_back({r, &stored[j++], nullptr});
        } else if (same(row, j + 1)) {
            j += 2;
            plan.push_back({r, &stored[j - 1], nullptr});
        } else {
            plan.push_back({r, nullptr, j < stored.size() ? &stored[j++] : nullptr});
        }
    }
    return plan;
}

// The file the stored layout describes, read by stream offsets.
class StoredFile {
public:
    StoredFile(int fd, const StoredLayout& stored) : fd_(fd), stored_(stored) {}

    // Appends stream bytes [begin, end) to `out`.
    bool append(std::uint32_t begin, std::uint32_t end, std::vector<std::uint8_t>& out) const {
        const std::size_t at = out.size();
        out.resize(at + (end - begin));
        for (std::size_t done = 0; done < end - begin;) {
            const ssize_t n = ::pread(fd_, out.data() + at + done, end - begin - done,
                                      static_cast<off_t>(stored_.streamInFile + begin + done));
            if (n <= 0 && !(n < 0 && errno == EINTR)) {
                out.resize(at);
                return false;
            }
            done += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        return true;
    }

    const StoredLayout& stored() const { return stored_; }

private:
    int fd_;
    const StoredLayout& stored_;
};

// Walks the records of [at, at + length): each is `first` or one of `others`.
template <typename Visit>
bool WalkRecords(std::span<std::uint8_t> bytes, Visit visit) {
    for (std::size_t p = 0; p < bytes.size();) {
        if (bytes.size() - p < 4 || bytes.size() - p - 4 < Le16(bytes.data() + p + 2)) {
            return false;
        }
        const std::uint16_t length = Le16(bytes.data() + p + 2);
        if (!visit(Le16(bytes.data() + p), bytes.subspan(p + 4, length), p == 0)) {
            return false;
        }
        p += 4 + length;
    }
    return !bytes.empty();
}

// Checks that `bytes` hold a row's records as the layout says, and numbers
// them for row `to`.
bool Renumber(std::span<std::uint8_t> bytes, const StoredRow& from, int to,
              std::size_t stringCount) {
    return WalkRecords(bytes, [&](std::uint16_t id, std::span<std::uint8_t> body, bool first) {
        const bool fits = first ? id == biff::Row && body.size() == 16
                                : OwnCellBody(id) == body.size() && body.size() != 0;
        if (!fits || Le16(body.data()) != from.row - 1 ||
            (id == biff::LabelSst && Le32(body.data() + 6) >= stringCount)) {
            return false;
        }
        body[0] = static_cast<std::uint8_t>((to - 1) & 0xFF);
        body[1] = static_cast<std::uint8_t>((to - 1) >> 8);
        return true;
    });
}

// Shared string indexes of a replaced row's text cells, by column; kept for
// cells that still hold the same text.
std::vector<std::uint32_t> OldIndexes(const StoredFile& file, const StoredRow& row) {
    constexpr std::uint32_t kNone = 0xFFFFFFFF;
    std::vector<std::uint32_t> indexes(row.cells.size(), kNone);
    std::vector<std::uint8_t> bytes;
    if (!file.append(row.begin, row.end, bytes) ||
        !Renumber(bytes, row, row.row, file.stored().strings.size())) {
        return {};
    }
    WalkRecords(bytes, [&](std::uint16_t id, std::span<std::uint8_t> body, bool) {
        const std::uint16_t column = Le16(body.data() + 2);
        if (id == biff::LabelSst && column < indexes.size()) {
            indexes[column] = Le32(body.data() + 6);
        }
        return true;
    });
    return indexes;
}

struct Texts {
    biff::SharedStrings added;
    std::vector<std::uint32_t> indexes; // of the rows written anew, in order
    std::uint32_t total = 0;            // text cells in the workbook
};

void CollectRowTexts(const StoredFile& file, const Sheet& sheet, const PlannedRow& planned,
                     Texts& texts) {
    const Sheet::Row& row = sheet.row(planned.row);
    const std::vector<std::uint32_t> old =
        planned.replaced ? OldIndexes(file, *planned.replaced) : std::vector<std::uint32_t>{};
    const auto oldCount = static_cast<std::uint32_t>(file.stored().strings.size());
    for (std::size_t c = 0; c < row.size(); ++c) {
        if (row[c].kind() != CellKind::Text) {
            continue;
        }
        const std::u16string_view text = biff::CellText(sheet, planned.row, c);
        if (c < old.size() && old[c] < oldCount && planned.replaced->cells[c].asText() == text) {
            texts.indexes.push_back(old[c]);
        } else {
            texts.indexes.push_back(oldCount + texts.added.add(text));
        }
    }
}

std::uint32_t CountTextCells(const Workbook& book) {
    std::uint32_t count = 0;
    for (int i = 1; i <= book.sheetCount(); ++i) {
        const Sheet& sheet = book.sheet(i);
        for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
            for (const Cell& cell : sheet.row(r)) {
                count += cell.kind() == CellKind::Text ? 1 : 0;
            }
        }
    }
    return count;
}

// The old SST as it was, with the new counts and the added strings after it.
bool WriteStrings(const StoredFile& file, const Texts& texts, biff::RecordWriter& out,
                  std::vector<std::uint8_t>& bytes, StoredLayout& layout) {
    const StoredLayout& stored = file.stored();
    layout.sstBegin = static_cast<std::uint32_t>(out.position());
    const std::size_t at = bytes.size();
    if (!file.append(stored.sstBegin, stored.sstEnd, bytes) ||
        !WalkRecords(std::span(bytes).subspan(at),
                     [](std::uint16_t id, std::span<std::uint8_t> body, bool first) {
                         return first ? id == biff::Sst && body.size() >= 8 : id == biff::Continue;
                     }) ||
        Le32(bytes.data() + at + 8) != stored.strings.size()) {
        return false;
    }
    out.patchU32(layout.sstBegin + 4, texts.total);
    out.patchU32(layout.sstBegin + 8,
                 static_cast<std::uint32_t>(stored.strings.size() + texts.added.uniqueCount()));
    layout.strings.reserve(stored.strings.size() + texts.added.uniqueCount());
    for (const StoredStringStart& start : stored.strings) {
        layout.strings.push_back(
            {start.position - stored.sstBegin + layout.sstBegin, start.offsetInRecord});
    }
    texts.added.writeContinued(out, layout.strings);
    layout.sstEnd = static_cast<std::uint32_t>(out.position());
    biff::SharedStrings::WriteExtSst(out, layout.strings);
    biff::WriteEof(out);
    return true;
}

// Copies the rows of `plan` from `first` on that lie one after another in
// both files; returns the first row not copied.
std::size_t CopyRows(const StoredFile& file, const Sheet& sheet,
                     const std::vector<PlannedRow>& plan, std::size_t first,
                     std::vector<std::uint8_t>& bytes, biff::RecordWriter& out,
                     std::vector<StoredRow>& rows) {
    std::size_t last = first + 1;
    while (last < plan.size() && plan[last].source != nullptr &&
           plan[last].source->begin == plan[last - 1].source->end) {
        ++last;
    }
    const std::size_t at = bytes.size();
    if (!file.append(plan[first].source->begin, plan[last - 1].source->end, bytes)) {
        return 0;
    }
    for (std::size_t k = first; k < last; ++k) {
        const StoredRow& source = *plan[k].source;
        const std::size_t begin = at + source.begin - plan[first].source->begin;
        const std::span<std::uint8_t> span(bytes.data() + begin, source.end - source.begin);
        if (!Renumber(span, source, plan[k].row, file.stored().strings.size())) {
            return 0;
        }
        const auto position = static_cast<std::uint32_t>(out.position() - (bytes.size() - begin));
        rows.push_back({plan[k].row, position, position + (source.end - source.begin),
                        sheet.row(plan[k].row)});
    }
    return last;
}

bool WriteSheetByChanges(const StoredFile& file, const Sheet& sheet, bool selected,
                         const std::vector<PlannedRow>& plan,
                         std::span<const std::uint32_t>& indexes, std::vector<std::uint8_t>& bytes,
                         biff::RecordWriter& out, std::vector<StoredRow>& rows) {
    biff::WriteSheetHead(out, sheet);
    for (std::size_t k = 0; k < plan.size();) {
        if (plan[k].source != nullptr) {
            k = CopyRows(file, sheet, plan, k, bytes, out, rows);
            if (k == 0) {
                return false;
            }
            continue;
        }
        const auto begin = static_cast<std::uint32_t>(out.position());
        biff::WriteRow(out, sheet, plan[k].row, indexes);
        rows.push_back({plan[k].row, begin, static_cast<std::uint32_t>(out.position()),
                        sheet.row(plan[k].row)});
        ++k;
    }
    biff::WriteSheetTail(out, selected);
    return true;
}

std::optional<EncodedWorkbook> Encode(const Workbook& book, const StoredFile& file) {
    const StoredLayout& stored = file.stored();
    Texts texts;
    texts.total = CountTextCells(book);
    std::vector<std::vector<PlannedRow>> plans;
    for (int i = 1; i <= book.sheetCount(); ++i) {
        plans.push_back(PlanRows(book.sheet(i), stored.sheets[i - 1]));
        for (const PlannedRow& planned : plans.back()) {
            if (planned.source == nullptr) {
                CollectRowTexts(file, book.sheet(i), planned, texts);
            }
        }
    }
    if (texts.added.holdsLoneSurrogate()) {
        return std::nullopt; // the whole encode mends them
    }
    EncodedWorkbook encoded{std::vector<std::uint8_t>(cfb::HeaderSize),
                            std::make_shared<StoredLayout>()};
    encoded.file.reserve(static_cast<std::size_t>(stored.stamp.size) + 65536 +
                         4 * texts.indexes.size() * 64);
    encoded.layout->streamInFile = cfb::HeaderSize;
    biff::RecordWriter out(encoded.file, cfb::HeaderSize);
    const std::vector<std::size_t> sheetOffsetFields = biff::WriteGlobalsHead(out, book);
    if (!WriteStrings(file, texts, out, encoded.file, *encoded.layout)) {
        return std::nullopt;
    }
    std::span<const std::uint32_t> indexes = texts.indexes;
    encoded.layout->sheets.resize(plans.size());
    for (int i = 1; i <= book.sheetCount(); ++i) {
        out.patchU32(sheetOffsetFields[i - 1], static_cast<std::uint32_t>(out.position()));
        if (!WriteSheetByChanges(file, book.sheet(i), i == 1, plans[i - 1], indexes, encoded.file,
                                 out, encoded.layout->sheets[i - 1])) {
            return std::nullopt;
        }
    }
    FinishWorkbookFile(encoded.file, out);
    return encoded;
}

} // namespace

void FinishWorkbookFile(std::vector<std::uint8_t>& file, const biff::RecordWriter& out) {
    if (out.position() > cfb::MaxStreamSize) {
        throw WorkbookError(WorkbookFault::FileAccess,
                            "ブックが大きすぎて Excel 97-2003 形式では保存できません");
    }
    cfb::FinishCompoundFile(file);
}

std::optional<EncodedWorkbook> EncodeChanges(const Workbook& book, const StoredLayout& stored,
                                             const std::filesystem::path& path) {
    if (book.sheetCount() != static_cast<int>(stored.sheets.size())) {
        return std::nullopt;
    }
    std::optional<ReadOnlyFile> fd;
    try {
        fd.emplace(OpenFileForReading(path));
    } catch (const WorkbookError&) {
        return std::nullopt; // the whole encode goes on without it
    }
    if (StampOfDescriptor(fd->get()) != stored.stamp) {
        return std::nullopt;
    }
    return Encode(book, StoredFile(fd->get(), stored));
}

} // namespace tomorine::xls
