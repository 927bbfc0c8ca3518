#include "browser/history_copy.h"

#include "store/files/file_bytes.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <sqlite3.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFolderPrefix = "tomorine-history-";
constexpr const char* kLogs[] = {"-wal", "-journal", "-shm"};

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

Statement Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    return Statement(statement);
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const unsigned char* value = sqlite3_column_text(statement, column);
    return value ? std::string(reinterpret_cast<const char*>(value)) : std::string();
}

// The session's runtime folder is private and emptied at logout.
fs::path CopiesFolder() {
    std::error_code error;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime != nullptr && *runtime == '/' && fs::is_directory(runtime, error)) {
        return runtime;
    }
    return fs::temp_directory_path(error);
}

// The pid in a copy folder's name "tomorine-history-PID-XXXXXX", else 0.
pid_t MakerOf(const std::string& name) {
    if (!name.starts_with(kFolderPrefix)) {
        return 0;
    }
    char* end = nullptr;
    const long pid = std::strtol(name.c_str() + kFolderPrefix.size(), &end, 10);
    return *end == '-' && pid > 0 && pid <= std::numeric_limits<pid_t>::max()
               ? static_cast<pid_t>(pid)
               : 0;
}

bool IsRunning(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

WorkbookError CopyFailed(const fs::path& database, const std::string& reason) {
    return WorkbookError(WorkbookFault::FileAccess,
                         QuotedPath(database) + " の写しを作れません: " + reason);
}

class BlockedEndingSignals {
public:
    BlockedEndingSignals() {
        sigset_t ending;
        sigemptyset(&ending);
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
            sigaddset(&ending, signal);
        }
        ::pthread_sigmask(SIG_BLOCK, &ending, &saved_);
    }
    ~BlockedEndingSignals() { ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
    BlockedEndingSignals(const BlockedEndingSignals&) = delete;
    BlockedEndingSignals& operator=(const BlockedEndingSignals&) = delete;

private:
    sigset_t saved_{};
};

struct WrittenFile {
    explicit WrittenFile(int opened) : fd(opened) {}
    ~WrittenFile() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    WrittenFile(const WrittenFile&) = delete;
    WrittenFile& operator=(const WrittenFile&) = delete;
    int fd;
};

// Copies at most `budget` bytes of the regular file `from` into the new file
// `to`; returns the bytes copied.
std::uint64_t CopyBounded(const fs::path& from, const fs::path& to, std::uint64_t budget) {
    const ReadOnlyFile source = OpenFileForReading(from, budget);
    const WrittenFile target(
        ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (target.fd < 0) {
        throw FileError(errno, "保存", to);
    }
    std::vector<char> buffer(1 << 20);
    std::uint64_t copied = 0;
    for (;;) {
        const ssize_t n = ::read(source.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw FileError(errno, "読み込み", from);
        }
        if (n == 0) {
            return copied;
        }
        copied += static_cast<std::uint64_t>(n);
        if (copied > budget) {
            throw WorkbookError(WorkbookFault::FileAccess,
                                QuotedPath(from) + " は写している間に 1 GB を超えました");
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w =
                ::write(target.fd, buffer.data() + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno != EINTR) {
                throw FileError(errno, "保存", to);
            }
            done += std::max<ssize_t>(w, 0);
        }
    }
}

std::uint64_t SizeOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
               ? static_cast<std::uint64_t>(info.st_size)
               : 0;
}

fs::path WithSuffix(fs::path path, const char* suffix) {
    path += suffix;
    return path;
}

} // namespace

void HistoryCopy::Closer::operator()(sqlite3* db) const noexcept {
    sqlite3_close_v2(db);
}

void SweepAbandonedHistoryCopies() {
    std::error_code error;
    const uid_t self = ::getuid();
    for (fs::directory_iterator it(CopiesFolder(), error), end; !error && it != end;
         it.increment(error)) {
        const pid_t maker = MakerOf(it->path().filename().string());
        struct stat info {};
        if (maker == 0 || maker == ::getpid() || IsRunning(maker) ||
            ::lstat(it->path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != self) {
            continue;
        }
        std::error_code ignored;
        fs::remove_all(it->path(), ignored);
    }
}

HistoryCopy::HistoryCopy(const fs::path& database) {
    try {
        copy(database);
    } catch (const WorkbookError& e) {
        failure_ = e;
    }
}

void HistoryCopy::copy(const fs::path& database) {
    std::error_code error;
    if (!fs::is_regular_file(database, error)) {
        OpenFileForReading(database); // names what is there instead
        throw CopyFailed(database, "通常のファイルではありません");
    }
    std::uint64_t total = SizeOf(database);
    for (const char* log : kLogs) {
        total += SizeOf(WithSuffix(database, log));
    }
    if (total > kMaxHistoryCopyBytes) {
        throw WorkbookError(WorkbookFault::FileAccess,
                            QuotedPath(database) +
                                " はログと合わせて 1 GB を超えているため写しを作りません");
    }
    SweepAbandonedHistoryCopies();
    std::string pattern =
        (CopiesFolder() / (std::string(kFolderPrefix) + std::to_string(::getpid()) + "-XXXXXX"))
            .string();
    {
        // A signal between the folder's making and its holding would leave it.
        const BlockedEndingSignals blocked;
        if (!::mkdtemp(pattern.data())) {
            throw CopyFailed(database, std::system_category().message(errno));
        }
        folder_ = pattern;
        pending_.back().hold(folder_.c_str()); // removed after its files
    }
    const fs::path copy = folder_ / "history.sqlite";
    pending_[0].hold(copy.c_str());
    for (std::size_t i = 0; i < std::size(kLogs); ++i) {
        pending_[i + 1].hold(WithSuffix(copy, kLogs[i]).c_str());
    }
    // The database before its -wal: a checkpoint between the two copies then
    // leaves an old but whole database (the newer log no longer matches it)
    // instead of old log pages over newer ones.
    std::uint64_t budget = kMaxHistoryCopyBytes - CopyBounded(database, copy, kMaxHistoryCopyBytes);
    for (const char* log : {"-wal", "-journal"}) {
        if (fs::exists(fs::symlink_status(WithSuffix(database, log), error))) {
            budget -= CopyBounded(WithSuffix(database, log), WithSuffix(copy, log), budget);
        }
    }
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(copy.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    db_.reset(db);
    if (opened != SQLITE_OK) {
        const std::string reason = db ? sqlite3_errmsg(db) : "SQLite を開けません";
        db_.reset();
        throw CopyFailed(database, reason);
    }
    sqlite3_busy_timeout(db, 1000);
}

HistoryCopy::~HistoryCopy() {
    db_.reset();
    if (!folder_.empty()) {
        std::error_code error;
        fs::remove_all(folder_, error);
    }
}

std::optional<VisitedPage> HistoryCopy::firstRow(const char* sql, const std::string* title) const {
    if (!db_) {
        return std::nullopt;
    }
    const Statement statement = Prepare(db_.get(), sql);
    if (!statement) {
        return std::nullopt;
    }
    if (title) {
        sqlite3_bind_text(statement.get(), 1, title->data(), static_cast<int>(title->size()),
                          SQLITE_TRANSIENT);
    }
    if (sqlite3_step(statement.get()) != SQLITE_ROW) {
        return std::nullopt;
    }
    return VisitedPage{ColumnText(statement.get(), 0), ColumnText(statement.get(), 1),
                       sqlite3_column_int64(statement.get(), 2)};
}

bool HistoryCopy::forEachRow(
    const char* sql, const std::function<void(const std::vector<std::string>&)>& row) const {
    if (!db_) {
        return false;
    }
    // A throwing `row` leaves through our own frames; the statement is
    // finalised on the way out.
    const Statement statement = Prepare(db_.get(), sql);
    if (!statement) {
        return false;
    }
    const int columns = sqlite3_column_count(statement.get());
    std::vector<std::string> values(static_cast<size_t>(columns));
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            values[static_cast<size_t>(i)] = ColumnText(statement.get(), i);
        }
        row(values);
    }
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
