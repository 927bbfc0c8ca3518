#include "store/files/whole_file.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace tomorine {

namespace {

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

private:
    int fd_;
};

} // namespace

ReadStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
    }
    char buffer[8192];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            bytes.clear();
            return ReadStatus::Failed;
        }
        if (n == 0) {
            return ReadStatus::Read;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace tomorine
