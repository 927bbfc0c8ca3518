#include "store/files/file_bytes.h"

#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tomorine {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

[[noreturn]] void ThrowOpenError(int error, const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    if (error == ENOENT && std::filesystem::is_directory(folder, ec)) {
        throw WorkbookError(ErrorNumber::FileNotFound, QuotedPath(path) + " が見つかりません");
    }
    throw FileError(error, "読み込み", path);
}

} // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        ThrowOpenError(errno, path);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        throw FileError(errno, "読み込み", path);
    }
    if (S_ISDIR(info.st_mode)) {
        throw WorkbookError(ErrorNumber::FileAccess, QuotedPath(path) + " はフォルダです");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            bytes.resize(bytes.size() * 2); // the file grew while we read it
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw FileError(errno, "読み込み", path);
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    return bytes;
}

} // namespace tomorine
