#include "browser/history_copy.h"

#include <cstdlib>
#include <sqlite3.h>
#include <system_error>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

fs::path MakePrivateFolder() {
    std::string pattern = (fs::temp_directory_path() / "tomorine-history-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        return {};
    }
    return pattern;
}

// The database before its -wal: a checkpoint between the two copies then
// leaves an old but whole database (the newer log no longer matches it)
// instead of old log pages over newer ones.
bool CopyWithLog(const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (!fs::copy_file(from, to, error)) {
        return false;
    }
    for (const char* suffix : {"-wal", "-journal"}) {
        fs::path log = from;
        log += suffix;
        fs::path copy = to;
        copy += suffix;
        if (fs::exists(log, error)) {
            fs::copy_file(log, copy, error);
        }
    }
    return true;
}

} // namespace

HistoryCopy::HistoryCopy(const fs::path& database) {
    std::error_code error;
    if (!fs::is_regular_file(database, error)) {
        return;
    }
    folder_ = MakePrivateFolder();
    if (folder_.empty()) {
        return;
    }
    const fs::path copy = folder_ / "history.sqlite";
    if (!CopyWithLog(database, copy)) {
        return;
    }
    if (sqlite3_open_v2(copy.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        return;
    }
    sqlite3_busy_timeout(db_, 1000);
}

HistoryCopy::~HistoryCopy() {
    if (db_) {
        sqlite3_close(db_);
    }
    if (!folder_.empty()) {
        std::error_code error;
        fs::remove_all(folder_, error);
    }
}

std::optional<VisitedPage> HistoryCopy::firstRow(const char* sql, const std::string* title) const {
    if (!db_) {
        return std::nullopt;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return std::nullopt;
    }
    if (title) {
        sqlite3_bind_text(statement, 1, title->data(), static_cast<int>(title->size()),
                          SQLITE_TRANSIENT);
    }
    std::optional<VisitedPage> page;
    if (sqlite3_step(statement) == SQLITE_ROW) {
        auto text = [&](int column) {
            const unsigned char* value = sqlite3_column_text(statement, column);
            return value ? std::string(reinterpret_cast<const char*>(value)) : std::string();
        };
        page = VisitedPage{text(0), text(1), sqlite3_column_int64(statement, 2)};
    }
    sqlite3_finalize(statement);
    return page;
}

bool HistoryCopy::forEachRow(
    const char* sql, const std::function<void(const std::vector<std::string>&)>& row) const {
    if (!db_) {
        return false;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return false;
    }
    const int columns = sqlite3_column_count(statement);
    std::vector<std::string> values(static_cast<size_t>(columns));
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            const unsigned char* value = sqlite3_column_text(statement, i);
            values[static_cast<size_t>(i)] =
                value ? std::string(reinterpret_cast<const char*>(value)) : std::string();
        }
        row(values);
    }
    sqlite3_finalize(statement);
    return step == SQLITE_DONE;
}

std::optional<std::string> HistoryUrlForTitle(const fs::path& database, const char* sql,
                                              const std::string& title) {
    if (title.empty()) {
        return std::nullopt;
    }
    if (auto page = HistoryCopy(database).firstRow(sql, &title)) {
        return page->url;
    }
    return std::nullopt;
}

} // namespace tomorine
