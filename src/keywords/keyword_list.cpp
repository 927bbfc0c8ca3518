#include "keywords/keyword_list.h"

#include "keywords/keyword_sheet.h"
#include "keywords/keyword_statements.h"
#include "keywords/keyword_words.h"
#include "store/entry.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"

#include <unordered_set>
#include <utility>

namespace tomorine {

namespace {

// The work sheet takes one keyword a row below its header.
constexpr size_t KeywordSheetCapacity = Sheet::MaxRows - 1;

WorkbookError TooManyKeywords(const std::filesystem::path& dataFile) {
    return WorkbookError(WorkbookFault::SheetRule, QuotedPath(dataFile) + " のキーワードは " +
                                                       std::to_string(KeywordSheetCapacity) +
                                                       " 種類を超えるため、一覧にできません");
}

} // namespace

std::vector<KeywordLine> CollectKeywords(Connection& connection) {
    Recordset entries = connection.execute(KeywordSourceStatement());
    // A word already in the sheet changes neither the distinct values nor
    // their order, so each one is inserted once.
    std::unordered_set<std::u16string> inserted;
    for (; !entries.eof(); entries.moveNext()) {
        for (std::u16string& word : KeywordWords(JoinField(entries, FieldGroup::Keywords))) {
            if (!inserted.contains(word)) {
                if (inserted.size() == KeywordSheetCapacity) {
                    throw TooManyKeywords(connection.path());
                }
                connection.execute(KeywordInsertStatement(word));
                inserted.insert(std::move(word));
            }
        }
    }
    entries.close();

    Recordset distinct = connection.execute(DistinctKeywordStatement());
    std::vector<KeywordLine> lines;
    lines.reserve(static_cast<size_t>(distinct.recordCount()));
    const int column = distinct.fieldIndex(KeywordColumn);
    for (long position = 0; !distinct.eof(); distinct.moveNext(), ++position) {
        const Cell& value = distinct.field(column);
        if (!value.isEmpty()) {
            lines.push_back(KeywordLine{CellToText(value), position});
        }
    }
    return lines;
}

std::vector<KeywordLine> ListKeywords(const std::filesystem::path& dataFile) {
    Workbook book = ReadXlsFile(dataFile);
    if (book.findSheet(EntrySheetName) == nullptr) {
        throw WorkbookError(WorkbookFault::SheetNotFound, QuotedPath(dataFile) + " にシート「" +
                                                              ToUtf8(EntrySheetName) +
                                                              "」がありません");
    }
    if (book.findSheet(KeywordSheetName) != nullptr) {
        DeleteKeywordSheet(dataFile);
    }
    CreateKeywordSheet(book);
    // Never closed: the work sheet and its rows go with the connection.
    Connection connection(dataFile, std::move(book));
    return CollectKeywords(connection);
}

} // namespace tomorine
