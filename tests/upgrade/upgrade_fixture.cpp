#include "upgrade_fixture.h"

#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

namespace tomorine::test {

namespace fs = std::filesystem;

Sheet::Row OldRow(Cell serial, const std::vector<std::u16string>& texts, Cell deleted) {
    Sheet::Row row{std::move(serial)};
    for (size_t i = 0; i < 14; ++i) {
        row.push_back(i < texts.size() && !texts[i].empty() ? Cell::text(texts[i]) : Cell());
    }
    row.push_back(std::move(deleted));
    return row;
}

std::vector<Sheet::Row> OldRows(int count) {
    std::vector<Sheet::Row> rows;
    for (int i = 1; i <= count; ++i) {
        const std::u16string n = FromUtf8(std::to_string(i));
        rows.push_back(OldRow(Cell::number(i),
                              {u"https://example.jp/", n, u"", u"", u"献立 その" + n, u"料理",
                               u"美味しかった。", u"", u"", u"", u"料理 ", u"献立"},
                              Cell::number(0)));
    }
    return rows;
}

Workbook OldDataWorkbook(const std::vector<Sheet::Row>& rows) {
    Workbook book;
    Sheet& sheet = book.addSheet(std::u16string(EntrySheetName));
    Sheet::Row header;
    for (const char16_t* name :
         {u"シリアル番号", u"URL1", u"URL2", u"URL3", u"URL4", u"タイトル", u"サブタイトル",
          u"コメント1", u"コメント2", u"コメント3", u"コメント4", u"キーワード1", u"キーワード2",
          u"キーワード3", u"キーワード4", u"削除"}) {
        header.push_back(Cell::text(name));
    }
    sheet.replaceRow(1, std::move(header));
    std::vector<std::u16string> dummy(4, u"dummy");
    dummy.resize(14, u"ダミー");
    sheet.replaceRow(2, OldRow(Cell::number(0), dummy, Cell::number(1)));
    for (size_t i = 0; i < rows.size(); ++i) {
        sheet.replaceRow(static_cast<int>(i) + 3, rows[i]); // empty rows keep their place
    }
    return book;
}

void MakeFile(const fs::path& path, FileContent content) {
    if (content == Folder) {
        fs::create_directory(path);
    } else if (content == Garbage) {
        WriteBytes(path, {'n', 'o', 't', ' ', 'x', 'l', 's'});
    } else if (content != Missing) {
        const bool old = content == Old || content == HeaderOnly;
        Workbook book = old ? OldDataWorkbook(OldRows(content == Old ? 2 : 0)) : NewDataWorkbook();
        if (content == WithTmp) {
            book.addSheet(u"tmp");
        } else if (content == HeaderOnly) {
            book.sheet(1).deleteRow(2);
        }
        WriteXlsFile(book, path);
    }
    if (fs::is_regular_file(path)) {
        fs::permissions(path, PrivateMode);
    }
}

std::vector<std::uint8_t> BytesOrNothing(const fs::path& path) {
    return fs::is_regular_file(path) ? ReadBytes(path) : std::vector<std::uint8_t>{};
}

Harness::Harness(fs::path dataFile) : context{store, state, {}, {}} {
    store.dataFilePath = std::move(dataFile);
    context.ui.messageBox = [this](const std::u16string& text, int style) {
        texts.push_back(text), styles.push_back(style);
        return answer;
    };
    context.ui.setProgress = [this](int percent) {
        progress.push_back(percent);
        state.conversionCancelRequested |= progress.size() == cancelAfter;
    };
    context.ui.closeProgress = [this] { ++progressClosed; };
    auto fail = [](int& count, int failing, const fs::path& path) {
        if (++count == failing) {
            throw WorkbookError(WorkbookFault::FileAccess, QuotedPath(path));
        }
    };
    context.io.open = [this, fail](const fs::path& path) {
        return fail(opens, failOpen, path), ReadXlsFile(path);
    };
    context.io.save = [this, fail](const Workbook& book, const fs::path& path) {
        fail(saves, failSave, path);
        WriteXlsFile(book, path);
    };
}

} // namespace tomorine::test
