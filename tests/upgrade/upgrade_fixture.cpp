#include "upgrade_fixture.h"

#include "store/entry.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <ostream>
#include <sys/resource.h>
#include <unistd.h>

namespace tomorine {

void PrintTo(const Cell& cell, std::ostream* os) {
    switch (cell.kind()) {
    case CellKind::Empty:
        *os << "(empty)";
        return;
    case CellKind::Number:
        *os << "number " << ToUtf8(FormatNumber(cell.asNumber()));
        return;
    case CellKind::Text:
        *os << "text \"" << ToUtf8(cell.asText()) << "\"";
        return;
    case CellKind::Boolean:
        *os << "boolean " << cell.asBoolean();
        return;
    case CellKind::Error:
        *os << "error " << int{cell.errorCode()};
        return;
    }
}

} // namespace tomorine

namespace tomorine::test {

namespace {

Cell TextOrEmpty(const std::u16string& text) {
    return text.empty() ? Cell() : Cell::text(text);
}

Sheet::Row OldHeaderRow() {
    Sheet::Row header;
    for (const char16_t* name :
         {u"シリアル番号", u"URL1", u"URL2", u"URL3", u"URL4", u"タイトル", u"サブタイトル",
          u"コメント1", u"コメント2", u"コメント3", u"コメント4", u"キーワード1", u"キーワード2",
          u"キーワード3", u"キーワード4", u"削除"}) {
        header.push_back(Cell::text(name));
    }
    return header;
}

OldEntryRow OldDummyRow() {
    OldEntryRow dummy;
    dummy.serial = Cell::number(0);
    dummy.url.fill(u"dummy");
    dummy.title = dummy.subtitle = u"ダミー";
    dummy.comment.fill(u"ダミー");
    dummy.keywords.fill(u"ダミー");
    dummy.deleted = Cell::number(1);
    return dummy;
}

} // namespace

Sheet::Row OldRowCells(const OldEntryRow& row) {
    Sheet::Row cells{row.serial};
    for (const auto& piece : row.url) {
        cells.push_back(TextOrEmpty(piece));
    }
    cells.push_back(TextOrEmpty(row.title));
    cells.push_back(TextOrEmpty(row.subtitle));
    for (const auto& piece : row.comment) {
        cells.push_back(TextOrEmpty(piece));
    }
    for (const auto& piece : row.keywords) {
        cells.push_back(TextOrEmpty(piece));
    }
    cells.push_back(row.deleted);
    return cells;
}

Workbook OldDataWorkbook(const std::vector<OldEntryRow>& rows) {
    Workbook book;
    Sheet& sheet = book.addSheet(std::u16string(EntrySheetName));
    sheet.replaceRow(1, OldHeaderRow());
    sheet.replaceRow(2, OldRowCells(OldDummyRow()));
    int row = 3;
    for (const OldEntryRow& entry : rows) {
        sheet.replaceRow(row++, OldRowCells(entry));
    }
    return book;
}

std::vector<OldEntryRow> OldRows(int count) {
    std::vector<OldEntryRow> rows;
    for (int i = 1; i <= count; ++i) {
        const std::u16string n = FromUtf8(std::to_string(i));
        OldEntryRow row;
        row.serial = Cell::number(i);
        row.url = {u"https://example.jp/page/", n, u".html"};
        row.title = u"今日の献立 その" + n;
        row.subtitle = u"料理の記録";
        row.comment[0] = u"とても美味しかった。";
        row.keywords = {u"料理 ", u"献立"};
        row.deleted = Cell::number(0);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::u16string Repeat(std::u16string_view text, int times) {
    std::u16string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

void PrintTo(const ShownMessage& message, std::ostream* os) {
    *os << "{" << message.style << ", \"" << ToUtf8(message.text) << "\"}";
}

UpgradeUi UiRecorder::ui() {
    UpgradeUi ui;
    ui.messageBox = [this](const std::u16string& text, int style) {
        messages.push_back({text, style});
        if (answers.empty()) {
            return AnswerOk;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    };
    ui.showProgress = [this] { ++progressShown; };
    ui.setProgress = [this](int percent) {
        progress.push_back(percent);
        if (onProgress) {
            onProgress(percent);
        }
    };
    ui.closeProgress = [this] { ++progressClosed; };
    ui.processEvents = [this] { ++eventsRun; };
    return ui;
}

std::vector<int> UiRecorder::styles() const {
    std::vector<int> out;
    for (const ShownMessage& message : messages) {
        out.push_back(message.style);
    }
    return out;
}

WorkbookIo FaultyIo::io() {
    return {[this](const std::filesystem::path& path) {
                if (++opens == failOpen) {
                    throw WorkbookError(ErrorNumber::FileAccess,
                                        QuotedPath(path) + " を読み込めません (試験)");
                }
                return ReadXlsFile(path);
            },
            [this](const Workbook& book, const std::filesystem::path& path) {
                if (++saves == failSave) {
                    throw WorkbookError(ErrorNumber::FileAccess,
                                        QuotedPath(path) + " を保存できません (試験)");
                }
                WriteXlsFile(book, path);
                saved.push_back(path);
            }};
}

Harness::Harness(std::filesystem::path dataFile) {
    store.DataFilePath = std::move(dataFile);
}

UpgradeContext Harness::context() {
    return UpgradeContext{store, state, recorder.ui(), faults.io()};
}

std::vector<std::uint8_t> BytesOrNothing(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) ? ReadBytes(path)
                                                      : std::vector<std::uint8_t>{};
}

void Age(const std::filesystem::path& path) {
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) -
                                               std::chrono::hours(1));
}

std::vector<std::string> FileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

FileSizeLimit::FileSizeLimit(unsigned long limit) {
    rlimit current{};
    getrlimit(RLIMIT_FSIZE, &current);
    savedCurrent_ = current.rlim_cur;
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    current.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &current);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit current{};
    getrlimit(RLIMIT_FSIZE, &current);
    current.rlim_cur = savedCurrent_;
    setrlimit(RLIMIT_FSIZE, &current);
    std::signal(SIGXFSZ, savedHandler_);
}

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

} // namespace tomorine::test
