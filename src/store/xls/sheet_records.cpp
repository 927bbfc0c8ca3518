#include "store/xls/sheet_records.h"

#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/biff_records.h"
#include "store/xls/cell_record_writer.h"
#include "store/xls/substream_records.h"

#include <algorithm>
#include <string>

namespace tomorine::biff {

namespace {

// Excel's limit for the text of one cell.
constexpr std::size_t kMaxCellText = 32767;

// 0-based bounds of the non-empty cells; all zero for an empty sheet.
struct UsedRange {
    std::uint32_t firstRow = 0;
    std::uint32_t rowsEnd = 0;
    std::uint16_t firstColumn = 0;
    std::uint16_t columnsEnd = 0;
};

// 0-based first non-empty cell of a row; the row's size when there is none.
std::size_t FirstUsedColumn(const Sheet::Row& row) {
    const auto it =
        std::find_if(row.begin(), row.end(), [](const Cell& c) { return !c.isEmpty(); });
    return static_cast<std::size_t>(it - row.begin());
}

UsedRange FindUsedRange(const Sheet& sheet) {
    UsedRange range;
    bool any = false;
    std::size_t firstColumn = Sheet::MaxColumns;
    for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
        const Sheet::Row& row = sheet.row(r);
        const std::size_t first = FirstUsedColumn(row);
        if (first == row.size()) {
            continue;
        }
        if (!any) {
            range.firstRow = static_cast<std::uint32_t>(r - 1);
            any = true;
        }
        range.rowsEnd = static_cast<std::uint32_t>(r);
        firstColumn = std::min(firstColumn, first);
        range.columnsEnd = std::max(range.columnsEnd, static_cast<std::uint16_t>(row.size()));
    }
    range.firstColumn = any ? static_cast<std::uint16_t>(firstColumn) : 0;
    return range;
}

void WriteCalculationSettings(RecordWriter& out) {
    WriteU16Record(out, CalcMode, 1); // automatic
    WriteU16Record(out, CalcCount, 100);
    WriteU16Record(out, RefMode, 1); // A1
    WriteU16Record(out, Iteration, 0);
    out.begin(Delta);
    out.f64(0.001);
    out.end();
    WriteU16Record(out, SaveRecalc, 0);
}

void WriteRowSettings(RecordWriter& out, bool hasRows) {
    out.begin(Guts);
    out.u16(0);
    out.u16(0);
    out.u16(hasRows ? 1 : 0); // visible row outline levels
    out.u16(0);
    out.end();
    out.begin(DefaultRowHeight);
    out.u16(0);
    out.u16(255);
    out.end();
    WriteU16Record(out, WsBool, 0x0C01);
}

void WriteDimensions(RecordWriter& out, const UsedRange& range) {
    out.begin(Dimensions);
    out.u32(range.firstRow);
    out.u32(range.rowsEnd);
    out.u16(range.firstColumn);
    out.u16(range.columnsEnd);
    out.u16(0);
    out.end();
}

void WriteHeaderFooter(RecordWriter& out, std::uint16_t id, std::u16string_view text) {
    out.begin(id);
    out.u16(static_cast<std::uint16_t>(text.size()));
    out.u8(0);
    out.chars(text, false);
    out.end();
}

void WriteMargin(RecordWriter& out, std::uint16_t id, double inches) {
    out.begin(id);
    out.f64(inches);
    out.end();
}

void WritePageSetup(RecordWriter& out) {
    out.begin(Setup);
    out.u16(9);      // A4
    out.u16(100);    // scale, percent
    out.u16(1);      // first page number
    out.u16(1);      // fit to one page wide
    out.u16(1);      // and one page tall
    out.u16(0x0083); // across then down, portrait, automatic page numbers
    out.u16(300);    // dots per inch, horizontally
    out.u16(300);    // and vertically
    out.f64(0.1);    // header margin, inches
    out.f64(0.1);    // footer margin
    out.u16(1);      // copies
    out.end();
}

void WritePrintSettings(RecordWriter& out) {
    WriteU16Record(out, PrintHeaders, 0);
    WriteU16Record(out, PrintGridlines, 0);
    WriteU16Record(out, GridSet, 1);
    WriteU16Record(out, HorizontalPageBreaks, 0);
    WriteU16Record(out, VerticalPageBreaks, 0);
    WriteHeaderFooter(out, Header, u"&P");
    WriteHeaderFooter(out, Footer, u"&F");
    WriteU16Record(out, HCenter, 1);
    WriteU16Record(out, VCenter, 0);
    WriteMargin(out, LeftMargin, 0.3);
    WriteMargin(out, RightMargin, 0.3);
    WriteMargin(out, TopMargin, 0.61);
    WriteMargin(out, BottomMargin, 0.37);
    WritePageSetup(out);
}

void WriteProtection(RecordWriter& out) {
    for (std::uint16_t id : {Protect, ScenProtect, WindowProtect, ObjProtect, Password}) {
        WriteU16Record(out, id, 0);
    }
}

void WriteRowRecord(RecordWriter& out, int row, std::size_t firstColumn, std::size_t end) {
    out.begin(Row);
    out.u16(static_cast<std::uint16_t>(row - 1));
    out.u16(static_cast<std::uint16_t>(firstColumn));
    out.u16(static_cast<std::uint16_t>(end));
    out.u16(0x00FF); // height, twips
    out.u16(0);
    out.u16(0);
    out.u32(0x000F0100); // default format XF 15
    out.end();
}

void WriteWindow2(RecordWriter& out, bool selected) {
    out.begin(Window2);
    // Grid, headers, zeros, automatic grid colour, outline symbols; the
    // first sheet is also selected.
    out.u16(selected ? 0x02B6 : 0x00B6);
    out.u16(0);    // first visible row
    out.u16(0);    // first visible column
    out.u16(0x40); // grid colour
    out.u16(0);
    out.u16(0); // page break preview zoom: default
    out.u16(0); // normal zoom: default
    out.u32(0);
    out.end();
}

} // namespace

SheetExtent MeasureRow(const Sheet::Row& row) {
    constexpr std::size_t kRowRecord = 20;
    constexpr std::size_t kCellRecord = 18;
    constexpr std::size_t kStringOverhead = 8; // header, and a flag byte when continued
    SheetExtent extent{0, kRowRecord + kCellRecord * row.size()};
    for (const Cell& cell : row) {
        if (cell.kind() == CellKind::Text) {
            ++extent.textCells;
            extent.bytes += kStringOverhead + 2 * cell.asText().size();
        }
    }
    return extent;
}

SheetExtent MeasureSheet(const Sheet& sheet) {
    constexpr std::size_t kFixedRecords = 1024;
    SheetExtent extent{0, kFixedRecords};
    for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
        const SheetExtent row = MeasureRow(sheet.row(r));
        extent.textCells += row.textCells;
        extent.bytes += row.bytes;
    }
    return extent;
}

std::u16string_view CellText(const Sheet& sheet, int row, std::size_t column) {
    const std::u16string_view text = sheet.row(row)[column].asText();
    if (text.size() > kMaxCellText) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            "シート「" + ToUtf8(sheet.name()) + "」のセル (" + std::to_string(row) +
                                ", " + std::to_string(column + 1) +
                                ") の文字列は 32767 文字を超えるため保存できません");
    }
    return text;
}

void CollectSheetTexts(const Sheet& sheet, SharedStrings& strings,
                       std::vector<std::uint32_t>& indexes) {
    for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
        const Sheet::Row& row = sheet.row(r);
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (row[c].kind() == CellKind::Text) {
                indexes.push_back(strings.add(CellText(sheet, r, c)));
            }
        }
    }
}

bool IsUsedRow(const Sheet::Row& row) {
    return FirstUsedColumn(row) != row.size();
}

void WriteSheetHead(RecordWriter& out, const Sheet& sheet) {
    const UsedRange range = FindUsedRange(sheet);
    WriteBof(out, Worksheet);
    WriteCalculationSettings(out);
    WriteRowSettings(out, range.rowsEnd > 0);
    WriteDimensions(out, range);
    WritePrintSettings(out);
    WriteProtection(out);
}

void WriteRow(RecordWriter& out, const Sheet& sheet, int r,
              std::span<const std::uint32_t>& indexes) {
    const Sheet::Row& row = sheet.row(r);
    const std::size_t first = FirstUsedColumn(row);
    WriteRowRecord(out, r, first, row.size());
    for (std::size_t c = first; c < row.size(); ++c) {
        const Cell& cell = row[c];
        std::uint32_t textIndex = 0;
        if (cell.kind() == CellKind::Text) {
            textIndex = indexes.front();
            indexes = indexes.subspan(1);
        }
        WriteCell(out, static_cast<std::uint16_t>(r - 1), static_cast<std::uint16_t>(c), cell,
                  textIndex);
    }
}

void WriteSheetTail(RecordWriter& out, bool selected) {
    WriteWindow2(out, selected);
    WriteEof(out);
}

void WriteSheet(RecordWriter& out, const Sheet& sheet, bool selected,
                std::span<const std::uint32_t>& indexes, std::vector<xls::StoredRow>& rows) {
    WriteSheetHead(out, sheet);
    for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
        if (IsUsedRow(sheet.row(r))) {
            const auto begin = static_cast<std::uint32_t>(out.position());
            WriteRow(out, sheet, r, indexes);
            rows.push_back({r, begin, static_cast<std::uint32_t>(out.position())});
        }
    }
    WriteSheetTail(out, selected);
}

} // namespace tomorine::biff
