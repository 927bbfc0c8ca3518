#include "browser_files.h"

#include <fstream>
#include <sqlite3.h>
#include <stdexcept>

namespace tomorine::test {

namespace {

constexpr const char* kSchema = R"(
PRAGMA journal_mode = WAL;
PRAGMA wal_autocheckpoint = 0;
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR UNIQUE, title LONGVARCHAR);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,
  parent INTEGER, position INTEGER, title LONGVARCHAR, guid TEXT);
INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES
  (1, 2, 0, 0, '', 'root________'), (2, 2, 1, 0, 'menu', 'menu________'),
  (3, 2, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, 1, 2, 'tags', 'tags________'),
  (5, 2, 1, 3, 'unfiled', 'unfiled_____'), (6, 2, 1, 4, 'mobile', 'mobile______');
)";

template <typename... Args>
std::string Sql(const char* format, Args... args) {
    char* text = sqlite3_mprintf(format, args...);
    std::string sql = text;
    sqlite3_free(text);
    return sql;
}

} // namespace

PlacesFile::PlacesFile(const std::filesystem::path& file) {
    if (sqlite3_open(file.c_str(), &db_) != SQLITE_OK) {
        throw std::runtime_error("cannot create " + file.string());
    }
    exec(kSchema);
}

PlacesFile::~PlacesFile() {
    sqlite3_close(db_);
}

void PlacesFile::exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : "?";
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

long long PlacesFile::item(int type, long long parent, const char* title, const char* url) {
    exec(Sql("INSERT OR IGNORE INTO moz_places (url, title) SELECT %Q, 'page title' "
             "WHERE %Q IS NOT NULL",
             url, url));
    // Positions counted down, so that the reader must order by position.
    exec(Sql("INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid) "
             "VALUES (%d, (SELECT id FROM moz_places WHERE url = %Q), %lld, %lld, %Q, "
             "hex(randomblob(6)))",
             type, url, parent, 1000000 - ++nextPosition_, title));
    return sqlite3_last_insert_rowid(db_);
}

std::filesystem::path DefaultFirefoxProfile(const std::filesystem::path& home,
                                            const std::string& name) {
    const std::filesystem::path firefox = home / ".mozilla" / "firefox";
    std::filesystem::create_directories(firefox / name);
    std::ofstream(firefox / "profiles.ini")
        << "[Profile0]\nName=" << name << "\nIsRelative=1\nPath=" << name << "\nDefault=1\n";
    return firefox / name;
}

} // namespace tomorine::test
