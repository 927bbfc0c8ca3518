#include "store/files/atomic_file.h"

#include "store/files/data_file_lock.h"
#include "store/files/file_bytes.h"
#include "store/files/pending_temporary_files.h"
#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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

// A file being written beside its target; removed unless it was renamed.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!path_.empty()) {
            ::unlink(path_.c_str());
            pending_.release();
        }
    }

    // Returns an errno value; 0 on success.
    int create(const fs::path& target);
    int write(std::span<const std::uint8_t> bytes);
    int flushAndClose();
    int renameOver(const fs::path& target);
    void copyModeOf(const fs::path& target);

private:
    fs::path path_;
    int fd_ = -1;
    PendingTemporaryFile pending_;
};

int TemporaryFile::create(const fs::path& target) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = target;
        candidate.replace_filename(TemporaryPrefix(target) + std::to_string(random() % 1000000000));
        // O_EXCL: never reuse a file that someone else has made.
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            path_ = std::move(candidate);
            pending_.hold(path_.c_str());
            return 0;
        }
        if (errno != EEXIST) {
            return errno;
        }
    }
    return EEXIST;
}

int TemporaryFile::write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size(), 1 << 30);
        const ssize_t written = ::write(fd_, bytes.data(), chunk);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return 0;
}

int TemporaryFile::flushAndClose() {
    if (::fsync(fd_) != 0) {
        return errno;
    }
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
}

int TemporaryFile::renameOver(const fs::path& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0) {
        return errno;
    }
    path_.clear();
    pending_.release();
    return 0;
}

// The new file keeps the permissions of the one it replaces (or copies).
void TemporaryFile::copyModeOf(const fs::path& file) {
    struct stat old {};
    if (::stat(file.c_str(), &old) == 0) {
        ::fchmod(fd_, old.st_mode & 07777);
    }
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

int WriteReplacing(const fs::path& target, std::span<const std::uint8_t> bytes,
                   const fs::path& modeOf) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        // A pipe or a device in the target's place is never replaced by a file.
        return S_ISDIR(existing.st_mode) ? EISDIR : kNotRegular;
    }
    // A rename would replace a file the user made read-only; it stays as it is.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
        return errno;
    }
    TemporaryFile temp;
    int error = temp.create(target);
    if (error == 0) {
        temp.copyModeOf(modeOf);
        error = temp.write(bytes);
    }
    if (error == 0) {
        error = temp.flushAndClose();
    }
    if (error == 0) {
        error = temp.renameOver(target);
    }
    return error;
}

} // namespace

namespace {

WorkbookError SaveError(int error, const fs::path& path) {
    if (error == kNotRegular) {
        return WorkbookError(ErrorNumber::FileAccess,
                             QuotedPath(path) + " を保存できません: 通常のファイルではありません");
    }
    if (error == EFBIG) {
        return WorkbookError(ErrorNumber::FileAccess,
                             QuotedPath(path) +
                                 " を保存できません: ファイルの大きさの上限を超えます");
    }
    return FileError(error, "保存", path);
}

void WriteAtomically(const fs::path& path, std::span<const std::uint8_t> bytes,
                     const fs::path& modeOf) {
    const fs::path target = ResolveLink(path);
    RemoveLeftTemporaryFiles(target);
    std::error_code ec;
    const fs::path& mode = fs::exists(target, ec) ? target : modeOf;
    if (const int error = WriteReplacing(target, bytes, mode); error != 0) {
        throw SaveError(error, path);
    }
    FlushFolder(target);
}

} // namespace

void WriteFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes) {
    WriteAtomically(path, bytes, path);
}

void CopyFileAtomically(const fs::path& source, const fs::path& target) {
    // A new copy of a private file stays private.
    WriteAtomically(target, ReadFileBytes(source), source);
}

} // namespace tomorine
