#include "upgrade/conversion.h"

#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/settings/path_routines.h"
#include "upgrade/tmp_sheet.h"

#include <cmath>

namespace tomorine {

std::u16string TabsToSpaces(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c == u'\t') {
            c = u' ';
        }
    }
    return out;
}

int ConversionPercent(int row, int last) {
    // nearbyint rounds half to even in the default rounding mode.
    int percent = static_cast<int>(std::nearbyint(static_cast<double>(row) / last * 100.0));
    return percent == 100 && row != last ? 99 : percent;
}

void AddConversionSheet(UpgradeContext& context) {
    context.workbookStep([](Workbook& book) {
        const Sheet& entries = book.sheet(EntrySheetName);
        // Right after the entry sheet, so that it takes that sheet's place.
        Sheet& tmp = book.addSheet(std::u16string(TmpSheetName), book.indexOf(entries) + 1);
        WriteHeaderAndDummyRows(tmp);
        return true;
    });
}

int GetLastUsedRow(UpgradeContext& context) {
    Workbook book = context.io.open(context.store.dataFilePath);
    // The used range of an empty sheet is its first cell: one row.
    return std::max(1, book.sheet(EntrySheetName).lastUsedRow());
}

namespace {

std::u16string JoinedText(const Sheet& source, int row, int firstColumn, int lastColumn) {
    std::u16string text;
    for (int column = firstColumn; column <= lastColumn; ++column) {
        text += CellToText(source.cell(row, column));
    }
    return text;
}

Cell TextCell(std::u16string text) {
    return text.empty() ? Cell() : Cell::text(std::move(text));
}

void AppendChunks(Sheet::Row& target, const std::u16string& text, int slots, bool tabRules) {
    for (std::u16string& chunk : SplitChunks(text, slots)) {
        target.push_back(TextCell(tabRules ? TrailingSpacesToTabs(TabsToSpaces(chunk)) : chunk));
    }
}

// One 0104 row (16 columns by position) as a 0105 row (58 columns).
Sheet::Row ConvertRow(const Sheet& source, int row) {
    Sheet::Row target;
    target.reserve(EntryColumnCount);
    target.push_back(source.cell(row, 1));
    AppendChunks(target, JoinedText(source, row, 2, 5), 16, false);
    AppendChunks(target, JoinedText(source, row, 6, 6), 4, true);
    AppendChunks(target, JoinedText(source, row, 7, 7), 4, true);
    AppendChunks(target, JoinedText(source, row, 8, 11), 16, true);
    AppendChunks(target, JoinedText(source, row, 12, 15), 16, true);
    target.push_back(source.cell(row, 16));
    return target;
}

void ShowProgress(UpgradeContext& context, int percent) {
    if (context.ui.setProgress) {
        context.ui.setProgress(percent);
    }
}

} // namespace

bool ConvertEntryRows(UpgradeContext& context) {
    context.state.conversionCancelRequested = false;
    const int last = GetLastUsedRow(context);
    // Never throws, also when the current folder is gone.
    context.store.dataFilePath = GetAbsolutePath(context.store.dataFilePath.string());
    Workbook book = context.io.open(context.store.dataFilePath);
    const Sheet& source = book.sheet(EntrySheetName);
    Sheet& target = book.sheet(TmpSheetName);
    if (context.ui.showProgress) {
        context.ui.showProgress();
    }
    for (int row = 3; row <= last; ++row) {
        target.replaceRow(row, ConvertRow(source, row));
        ShowProgress(context, ConversionPercent(row, last));
        if (context.state.conversionCancelRequested) {
            return false;
        }
        if (context.ui.processEvents) {
            context.ui.processEvents();
        }
    }
    context.io.save(book, context.store.dataFilePath);
    return true;
}

void ReplaceEntrySheet(UpgradeContext& context) {
    context.workbookStep([](Workbook& book) {
        Sheet& entries = book.sheet(EntrySheetName);
        Sheet& tmp = book.sheet(TmpSheetName);
        book.deleteSheet(entries);
        book.renameSheet(tmp, std::u16string(EntrySheetName));
        return true;
    });
}

} // namespace tomorine
