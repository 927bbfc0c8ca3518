#include "store/files/file_bytes.h"

#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace tomorine {

namespace {

WorkbookError OpenError(const std::filesystem::path& path, int error) {
    std::error_code ec;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    if (error == ENOENT && std::filesystem::is_directory(folder, ec)) {
        return WorkbookError(WorkbookFault::FileNotFound, QuotedPath(path) + " が見つかりません");
    }
    return FileError(error, "読み込み", path);
}

std::string SizeText(std::uint64_t bytes) {
    if (bytes >= (std::uint64_t{1} << 30) && bytes % (std::uint64_t{1} << 30) == 0) {
        return std::to_string(bytes >> 30) + " GB";
    }
    if (bytes >= (std::uint64_t{1} << 20) && bytes % (std::uint64_t{1} << 20) == 0) {
        return std::to_string(bytes >> 20) + " MB";
    }
    return std::to_string(bytes) + " バイト";
}

WorkbookError TooLarge(const std::filesystem::path& path, std::uint64_t maxBytes) {
    return WorkbookError(WorkbookFault::FileAccess, QuotedPath(path) + " は " + SizeText(maxBytes) +
                                                        " を超えているため読み込みません");
}

WorkbookError NotRegular(const std::filesystem::path& path, bool isFolder) {
    if (isFolder) {
        return WorkbookError(WorkbookFault::FileAccess, QuotedPath(path) + " はフォルダです");
    }
    return WorkbookError(WorkbookFault::FileAccess,
                         QuotedPath(path) +
                             " は通常のファイルではありません（パイプや装置は読み込みません）");
}

void CheckKind(const struct stat& info, const std::filesystem::path& path, std::uint64_t maxBytes,
               const FileReadRefusals& refusals) {
    if (!S_ISREG(info.st_mode)) {
        throw refusals.notRegular(path, S_ISDIR(info.st_mode));
    }
    if (static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0)) > maxBytes) {
        throw refusals.tooLarge(path, maxBytes);
    }
}

} // namespace

ReadOnlyFile::~ReadOnlyFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void ReleaseInBackground(std::shared_ptr<ReadOnlyFile> file) {
    if (file.use_count() != 1) {
        return;
    }
    try {
        std::thread([held = std::move(file)] {}).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the file is closed here, as it would have been.
    }
}

namespace {

ReadOnlyFile Open(const std::filesystem::path& path, std::uint64_t maxBytes,
                  const FileReadRefusals& refusals, struct stat& info) {
    // A device is not even opened: opening some has effects of its own.
    struct stat before {};
    if (::stat(path.c_str(), &before) == 0) {
        CheckKind(before, path, maxBytes, refusals);
    }
    // O_NONBLOCK: a pipe put in the file's place since is not waited on either.
    ReadOnlyFile fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        throw refusals.openFailed(path, errno);
    }
    if (::fstat(fd.get(), &info) != 0) {
        throw FileError(errno, "読み込み", path);
    }
    CheckKind(info, path, maxBytes, refusals);
    return fd;
}

const FileReadRefusals& WorkbookRefusals() {
    static const FileReadRefusals refusals{NotRegular, TooLarge, OpenError};
    return refusals;
}

} // namespace

ReadOnlyFile OpenFileForReading(const std::filesystem::path& path, std::uint64_t maxBytes) {
    struct stat info {};
    return Open(path, maxBytes, WorkbookRefusals(), info);
}

std::uint64_t ReadableFileSize(int fd, const std::filesystem::path& path, std::uint64_t maxBytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        throw FileError(errno, "読み込み", path);
    }
    CheckKind(info, path, maxBytes, WorkbookRefusals());
    return static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
}

FileBytes ReadFileBytes(const std::filesystem::path& path, std::uint64_t maxBytes,
                        const FileReadRefusals& refusals) {
    struct stat info {};
    const ReadOnlyFile fd = Open(path, maxBytes, refusals, info);
    // One byte over the size tells a file that grew while we read it.
    FileBytes bytes(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (used > maxBytes) {
                throw refusals.tooLarge(path, maxBytes);
            }
            bytes.resize(static_cast<std::size_t>(
                std::min<std::uint64_t>(std::uint64_t{bytes.size()} * 2, maxBytes + 1)));
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
    if (used > maxBytes) {
        throw refusals.tooLarge(path, maxBytes);
    }
    bytes.resize(used);
    return bytes;
}

FileBytes ReadFileBytes(const std::filesystem::path& path, std::uint64_t maxBytes) {
    return ReadFileBytes(path, maxBytes, WorkbookRefusals());
}

} // namespace tomorine
