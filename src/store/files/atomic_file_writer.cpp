#include "store/files/atomic_file_writer.h"

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
    if (::stat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        return EISDIR;
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

} // namespace

struct AtomicFileWriter::Impl {
    fs::path shown;  // the path as the caller named it, for messages
    fs::path target; // a link resolved
    fs::path temp;   // empty once renamed
    int fd = -1;

    ~Impl() {
        if (fd >= 0) {
            ::close(fd);
        }
        if (!temp.empty()) {
            ::unlink(temp.c_str());
        }
    }

    [[noreturn]] void fail(int error) const { throw FileError(error, "保存", shown); }

    int create() {
        thread_local std::mt19937_64 random{std::random_device{}()};
        for (int attempt = 0; attempt < 100; ++attempt) {
            fs::path candidate = target;
            candidate.replace_filename("." + target.filename().string() + ".tmp" +
                                       std::to_string(random() % 1000000000));
            // O_EXCL: never reuse a file that someone else has made.
            const int created =
                ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (created >= 0) {
                fd = created;
                temp = std::move(candidate);
                return 0;
            }
            if (errno != EEXIST) {
                return errno;
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
    FlushFolder(impl_->target);
}

} // namespace tomorine
