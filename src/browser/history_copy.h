#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace tomorine {

// One page of a browser's history: its URL, title and when it was last
// visited (microseconds since 1970).
struct VisitedPage {
    std::string url;
    std::string title;
    std::int64_t visitedAt = 0;
};

// A browser's history database read from a private copy taken with its -wal
// file, so that the running browser's lock and its unwritten-back changes do
// not stand in the way. The copy goes away with the object.
class HistoryCopy {
public:
    explicit HistoryCopy(const std::filesystem::path& database);
    ~HistoryCopy();
    HistoryCopy(const HistoryCopy&) = delete;
    HistoryCopy& operator=(const HistoryCopy&) = delete;

    bool isOpen() const { return db_ != nullptr; }

    // The first row of `sql` with `title` bound to ?1 (when given): column 0
    // the URL, 1 the title, 2 the visit time. Nothing on no row or an error.
    std::optional<VisitedPage> firstRow(const char* sql, const std::string* title) const;

    // Every row of `sql`, each column as text (Null as empty); false when the
    // statement cannot run to its end.
    bool forEachRow(const char* sql,
                    const std::function<void(const std::vector<std::string>&)>& row) const;

private:
    std::filesystem::path folder_;
    sqlite3* db_ = nullptr;
};

// The URL of the first row of `sql` with `title` bound to ?1, read from a
// copy of the history database at `database`; nothing for an empty title.
std::optional<std::string> HistoryUrlForTitle(const std::filesystem::path& database,
                                              const char* sql, const std::string& title);

} // namespace tomorine
