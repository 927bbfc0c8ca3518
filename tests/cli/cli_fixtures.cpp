#include "cli/cli_fixtures.h"

#include "store/data_workbook.h"
#include "store/xls/xls_file.h"

namespace tomorine::test {

namespace {

Cell TextOrEmpty(std::u16string text) {
    return text.empty() ? Cell() : Cell::text(std::move(text));
}

// Four pieces of about equal length, so that the conversion has to join them.
void AppendPieces(Sheet::Row& row, const std::u16string& text) {
    size_t piece = (text.size() + 3) / 4;
    for (size_t i = 0; i < 4; ++i) {
        row.push_back(TextOrEmpty(i * piece < text.size() ? text.substr(i * piece, piece) : u""));
    }
}

} // namespace

Entry MakeEntry(std::int32_t serial, std::u16string url, std::u16string title,
                std::u16string subtitle, std::u16string keywords, std::u16string comment) {
    return Entry{serial,
                 std::move(url),
                 std::move(title),
                 std::move(subtitle),
                 std::move(keywords),
                 std::move(comment)};
}

void WriteDataWorkbook(const std::filesystem::path& path, const std::vector<StoredEntry>& entries) {
    Workbook book = NewDataWorkbook();
    Sheet& sheet = book.sheet(EntrySheetName);
    for (const StoredEntry& stored : entries) {
        Sheet::Row row{Cell::number(stored.entry.serial)};
        for (std::u16string& chunk : ChunkValues(stored.entry)) {
            row.push_back(TextOrEmpty(std::move(chunk)));
        }
        row.push_back(Cell::number(stored.deleted));
        sheet.appendRow(std::move(row));
    }
    WriteXlsFile(book, path);
}

void WriteOldLayoutWorkbook(const std::filesystem::path& path, const std::vector<Entry>& entries) {
    Workbook book;
    Sheet& sheet = book.addSheet(std::u16string(EntrySheetName));
    Sheet::Row header;
    for (const char16_t* name :
         {u"シリアル番号", u"URL1", u"URL2", u"URL3", u"URL4", u"タイトル", u"サブタイトル",
          u"コメント1", u"コメント2", u"コメント3", u"コメント4", u"キーワード1", u"キーワード2",
          u"キーワード3", u"キーワード4", u"削除"}) {
        header.push_back(Cell::text(name));
    }
    sheet.appendRow(header);
    Sheet::Row dummy{Cell::number(0)};
    for (int column = 2; column <= 15; ++column) {
        dummy.push_back(Cell::text(column <= 5 ? u"dummy" : u"ダミー"));
    }
    dummy.push_back(Cell::number(1));
    sheet.appendRow(dummy);
    for (const Entry& entry : entries) {
        Sheet::Row row{Cell::number(entry.serial)};
        AppendPieces(row, entry.url);
        row.push_back(TextOrEmpty(entry.title));
        row.push_back(TextOrEmpty(entry.subtitle));
        AppendPieces(row, entry.comment);
        AppendPieces(row, entry.keywords);
        row.push_back(Cell::number(0));
        sheet.appendRow(std::move(row));
    }
    WriteXlsFile(book, path);
}

} // namespace tomorine::test
