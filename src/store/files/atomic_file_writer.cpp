#include "store/files/atomic_file_writer.h"

#include "store/files/data_file_lock.h"
#include "store/files/pending_temporary_files.h"
#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tomorine {

namespace {

namespace fs = std::filesystem;

// Our own code for a target that is neither a regular file nor missing.
constexpr int kNotRegular = -1;

// Temporary files are named "." + target name + ".tmp" + digits.
std::string TemporaryPrefix(const fs::path& target) {
    return "." + target.filename().string() + ".tmp";
}

bool IsTemporaryOf(const std::string& name, const std::string& prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size() ||
        name.size() > prefix.size() + 10) {
        return false;
    }
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// Removes what interrupted saves of `target` left beside it. Only a holder of
// the target's lock may do so: no other writer of ours is saving it then.
void RemoveLeftTemporaryFiles(const fs::path& target) {
    if (!DataFileLock::HeldByThisThread(target)) {
        return;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string prefix = TemporaryPrefix(target);
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (IsTemporaryOf(name, prefix) &&
            it->symlink_status(ec).type() == fs::file_type::regular) {
            fs::remove(it->path(), ec);
        }
        ec.clear();
    }
}

WorkbookError SaveError(int error, const fs::path& path) {
    if (error == kNotRegular) {
        return WorkbookError(WorkbookFault::FileAccess,
                             QuotedPath(path) + " を保存できません: 通常のファイルではありません");
    }
    if (error == EFBIG) {
        return WorkbookError(WorkbookFault::FileAccess,
                             QuotedPath(path) +
                                 " を保存できません: ファイルの大きさの上限を超えます");
    }
    return FileError(error, "保存", path);
}

fs::path ResolveLink(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        fs::path real = fs::weakly_canonical(path, ec);
        if (!ec) {
            return real;
        }
    }
    return path;
}

// Returns an errno value; 0 when the target may be replaced.
int CheckReplaceable(const fs::path& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        // A pipe or a device in the target's place is never replaced by a file.
        return S_ISDIR(existing.st_mode) ? EISDIR : kNotRegular;
    }
    // A rename would replace a file the user made read-only; it stays as it is.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
        return errno;
    }
    return 0;
}

// Makes the rename itself durable. The new file is already in place, so a
// failure here cannot be undone and would only report a save that happened.
void FlushFolder(const fs::path& file) {
    fs::path folder = file.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writeback is started every this many bytes, so that the disk works while
// the rest is written and commit's fsync waits for the tail only (53 MB:
// 50 ms copied and flushed, now 41 ms).
constexpr std::uint64_t kWritebackStep = std::uint64_t{8} << 20;

} // namespace

struct AtomicFileWriter::Impl {
    fs::path shown;  // the path as the caller named it, for messages
    fs::path target; // a link resolved
    fs::path temp;   // empty once renamed
    int fd = -1;
    PendingTemporaryFile pending;     // removed by a signal that ends the program
    std::uint64_t written = 0;        // bytes so far, all in order
    std::uint64_t writebackStart = 0; // below it, writeback has been started

    void wrote(std::uint64_t bytes) {
        written += bytes;
        if (written - writebackStart >= kWritebackStep) {
            // A hint only: commit's fsync is what makes the file durable.
            ::sync_file_range(fd, static_cast<off64_t>(writebackStart),
                              static_cast<off64_t>(written - writebackStart),
                              SYNC_FILE_RANGE_WRITE);
            writebackStart = written;
        }
    }

    ~Impl() {
        if (fd >= 0) {
            ::close(fd);
        }
        if (!temp.empty()) {
            ::unlink(temp.c_str());
            pending.release();
        }
    }

    [[noreturn]] void fail(int error) const { throw SaveError(error, shown); }

    int create() {
        thread_local std::mt19937_64 random{std::random_device{}()};
        for (int attempt = 0; attempt < 100; ++attempt) {
            fs::path candidate = target;
            candidate.replace_filename(TemporaryPrefix(target) +
                                       std::to_string(random() % 1000000000));
            // A signal between the file's creation and its registration
            // would leave it behind; it waits until the file is known.
            sigset_t ending, before;
            sigemptyset(&ending);
            for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
                sigaddset(&ending, signal);
            }
            pthread_sigmask(SIG_BLOCK, &ending, &before);
            // O_EXCL: never reuse a file that someone else has made.
            const int created =
                ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            const int openError = errno;
            if (created >= 0) {
                fd = created;
                temp = std::move(candidate);
                pending.hold(temp.c_str());
            }
            pthread_sigmask(SIG_SETMASK, &before, nullptr);
            if (created >= 0) {
                return 0;
            }
            if (openError != EEXIST) {
                return openError;
            }
        }
        return EEXIST;
    }

    // The new file keeps the permissions of the one it replaces (or copies).
    void copyModeOf(const fs::path& file) const {
        struct stat old {};
        if (::stat(file.c_str(), &old) == 0) {
            ::fchmod(fd, old.st_mode & 07777);
        }
    }
};

AtomicFileWriter::AtomicFileWriter(const fs::path& target, const fs::path& modeOf)
    : impl_(std::make_unique<Impl>()) {
    impl_->shown = target;
    impl_->target = ResolveLink(target);
    RemoveLeftTemporaryFiles(impl_->target);
    if (const int error = CheckReplaceable(impl_->target); error != 0) {
        impl_->fail(error);
    }
    if (const int error = impl_->create(); error != 0) {
        impl_->fail(error);
    }
    std::error_code ec;
    impl_->copyModeOf(fs::exists(impl_->target, ec) || modeOf.empty() ? impl_->target : modeOf);
}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size(), 1 << 30);
        const ssize_t written = ::write(impl_->fd, bytes.data(), chunk);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            impl_->fail(errno);
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
        impl_->wrote(static_cast<std::uint64_t>(written));
    }
}

void AtomicFileWriter::copy(int fd, std::uint64_t offset, std::uint64_t length) {
    auto from = static_cast<off_t>(offset);
    while (length > 0) {
        const std::size_t chunk = std::min<std::uint64_t>(length, kWritebackStep);
        ssize_t copied = ::copy_file_range(fd, &from, impl_->fd, nullptr, chunk, 0);
        if (copied > 0) {
            impl_->wrote(static_cast<std::uint64_t>(copied));
        } else if (copied < 0 && errno != EINTR) {
            // Another file system, or one that cannot: through a buffer.
            std::vector<std::uint8_t> buffer(std::min<std::size_t>(chunk, 1 << 20));
            copied = ::pread(fd, buffer.data(), buffer.size(), from);
            if (copied > 0) {
                write(std::span(buffer).first(static_cast<std::size_t>(copied)));
                from += copied;
            }
        }
        if (copied == 0) {
            impl_->fail(EIO); // the file ended early
        }
        if (copied < 0 && errno != EINTR) {
            impl_->fail(errno);
        }
        length -= static_cast<std::uint64_t>(std::max<ssize_t>(copied, 0));
    }
}

void AtomicFileWriter::write(std::string_view bytes) {
    write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

void AtomicFileWriter::commit() {
    if (::fsync(impl_->fd) != 0) {
        impl_->fail(errno);
    }
    const int fd = impl_->fd;
    impl_->fd = -1;
    if (::close(fd) != 0) {
        impl_->fail(errno);
    }
    if (::rename(impl_->temp.c_str(), impl_->target.c_str()) != 0) {
        impl_->fail(errno);
    }
    impl_->temp.clear();
    impl_->pending.release();
    FlushFolder(impl_->target);
}

} // namespace tomorine
