#include "upgrade/file_copy.h"

#include "store/workbook/workbook_error.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tomorine {

namespace {

// Owns a file descriptor; closes it on every path.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

void CopyContents(int from, int to, const std::filesystem::path& source,
                  const std::filesystem::path& target) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw FileError(errno, "読み込み", source);
        }
        if (n == 0) {
            return;
        }
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(to, buffer.data() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) {
                continue;
            }
            if (w < 0) {
                throw FileError(errno, "書き込み", target);
            }
            done += w;
        }
    }
}

} // namespace

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

void CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target) {
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        throw FileError(errno, "読み込み", source);
    }
    std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    Fd out(::mkstemp(pattern.data()));
    if (out.get() < 0) {
        throw FileError(errno, "書き込み", target);
    }
    try {
        // mkstemp makes the file private; the copy keeps the source's mode.
        struct stat st {};
        if (::fstat(in.get(), &st) == 0) {
            ::fchmod(out.get(), st.st_mode & 07777);
        }
        CopyContents(in.get(), out.get(), source, target);
        if (::fsync(out.get()) != 0 || ::close(out.release()) != 0) {
            throw FileError(errno, "書き込み", target);
        }
        if (::rename(pattern.c_str(), target.c_str()) != 0) {
            throw FileError(errno, "書き込み", target);
        }
    } catch (...) {
        ::unlink(pattern.c_str());
        throw;
    }
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
}

} // namespace tomorine
