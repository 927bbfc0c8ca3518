#include "browser_files.h"

#include <fstream>
#include <sqlite3.h>
#include <stdexcept>

namespace tomorine::test {

namespace {

constexpr const char* kSchema = R"(
PRAGMA journal_mode = WAL;
PRAGMA wal_autocheckpoint = 0;
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,
  rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL,
  typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL,
  last_visit_date INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL,
  url_hash INTEGER DEFAULT 0 NOT NULL, description TEXT, preview_image_url TEXT,
  origin_id INTEGER);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,
  parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT,
  dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0,
  syncChangeCounter INTEGER NOT NULL DEFAULT 1);
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER,
  visit_date INTEGER, visit_type INTEGER, session INTEGER);
INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES
  (1, 2, 0, 0, '', 'root________'), (2, 2, 1, 0, 'menu', 'menu________'),
  (3, 2, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, 1, 2, 'tags', 'tags________'),
  (5, 2, 1, 3, 'unfiled', 'unfiled_____'), (6, 2, 1, 4, 'mobile', 'mobile______');
)";

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

long long PlacesFile::place(const std::string& url) {
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db_, "SELECT id FROM moz_places WHERE url = ?1", -1, &select, nullptr);
    sqlite3_bind_text(select, 1, url.c_str(), -1, SQLITE_TRANSIENT);
    long long id = 0;
    if (sqlite3_step(select) == SQLITE_ROW) {
        id = sqlite3_column_int64(select, 0);
    }
    sqlite3_finalize(select);
    if (id != 0) {
        return id;
    }
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db_, "INSERT INTO moz_places (url, title) VALUES (?1, 'page title')", -1,
                       &insert, nullptr);
    sqlite3_bind_text(insert, 1, url.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_finalize(insert);
    return sqlite3_last_insert_rowid(db_);
}

long long PlacesFile::item(int type, long long parent, const std::string& title,
                           long long placeId) {
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db_,
                       "INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid) "
                       "VALUES (?1, ?2, ?3, ?4, ?5, hex(randomblob(6)))",
                       -1, &insert, nullptr);
    sqlite3_bind_int(insert, 1, type);
    if (placeId != 0) {
        sqlite3_bind_int64(insert, 2, placeId);
    }
    sqlite3_bind_int64(insert, 3, parent);
    // Positions counted down, so that the reader must order by position.
    sqlite3_bind_int64(insert, 4, 1000000 - ++nextPosition_);
    if (title != "\x01null") {
        sqlite3_bind_text(insert, 5, title.c_str(), -1, SQLITE_TRANSIENT);
    }
    sqlite3_step(insert);
    sqlite3_finalize(insert);
    return sqlite3_last_insert_rowid(db_);
}

long long PlacesFile::folder(long long parent, const std::string& title) {
    return item(2, parent, title, 0);
}

long long PlacesFile::bookmark(long long parent, const std::string& url, const std::string& title) {
    return item(1, parent, title, place(url));
}

void PlacesFile::tag(const std::string& url, const std::string& name) {
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db_, "SELECT id FROM moz_bookmarks WHERE parent = 4 AND title = ?1", -1,
                       &select, nullptr);
    sqlite3_bind_text(select, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    long long folderId = sqlite3_step(select) == SQLITE_ROW ? sqlite3_column_int64(select, 0) : 0;
    sqlite3_finalize(select);
    if (folderId == 0) {
        folderId = folder(kTags, name);
    }
    item(1, folderId, "\x01null", place(url));
}

std::string ChromiumBookmarksJson(const std::string& barChildren,
                                  const std::string& otherChildren) {
    return R"({"checksum":"0","roots":{"bookmark_bar":{"children":)" + barChildren +
           R"(,"name":"Bookmarks bar","type":"folder"},"other":{"children":)" + otherChildren +
           R"(,"name":"Other bookmarks","type":"folder"},"synced":{"children":[],)"
           R"("name":"Mobile bookmarks","type":"folder"}},"version":1})";
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace tomorine::test
