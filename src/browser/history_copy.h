#pragma once

#include "store/files/pending_temporary_files.h"
#include "store/workbook/workbook_error.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
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

// The largest browser database (with its log) we copy.
inline constexpr std::uint64_t kMaxHistoryCopyBytes = std::uint64_t{1} << 30;

// A browser's history database read from a private copy taken with its -wal
// file, so that the running browser's lock and its unwritten-back changes do
// not stand in the way. The copy lives in a folder of its own (mode 0700,
// under $XDG_RUNTIME_DIR when set, else the temporary folder) named after
// this process, and goes away with the object, on SIGINT, SIGTERM or SIGHUP,
// or at the next copy made after this process is gone.
class HistoryCopy {
public:
    explicit HistoryCopy(const std::filesystem::path& database);
    ~HistoryCopy();
    HistoryCopy(const HistoryCopy&) = delete;
    HistoryCopy& operator=(const HistoryCopy&) = delete;

    bool isOpen() const { return db_ != nullptr; }
    // Why there is no copy: the database is missing, not a regular file,
    // larger than kMaxHistoryCopyBytes, or could not be copied or opened.
    const std::optional<WorkbookError>& failure() const { return failure_; }

    // The first row of `sql` with `title` bound to ?1 (when given): column 0
    // the URL, 1 the title, 2 the visit time. Nothing on no row or an error.
    std::optional<VisitedPage> firstRow(const char* sql, const std::string* title) const;

    // Every row of `sql`, each column as text (Null as empty); false when the
    // statement cannot run to its end.
    bool forEachRow(const char* sql,
                    const std::function<void(const std::vector<std::string>&)>& row) const;

private:
    struct Closer {
        void operator()(sqlite3* db) const noexcept;
    };

    void copy(const std::filesystem::path& database);

    std::filesystem::path folder_;
    // The copy, its logs and its folder, for a signal handler to remove.
    std::array<PendingTemporaryFile, 5> pending_;
    std::unique_ptr<sqlite3, Closer> db_;
    std::optional<WorkbookError> failure_;
};

// Removes the history copies that processes no longer running left behind.
void SweepAbandonedHistoryCopies();

// The URL of the first row of `sql` with `title` bound to ?1, read from a
// copy of the history database at `database`; nothing for an empty title.
std::optional<std::string> HistoryUrlForTitle(const std::filesystem::path& database,
                                              const char* sql, const std::string& title);

} // namespace tomorine
