#include "store/files/file_stamp.h"

#include <algorithm>
#include <sys/stat.h>
#include <time.h>

namespace tomorine {

namespace {

constexpr std::int64_t kNsPerSecond = 1000000000;
// Kernel file times advance by one scheduler tick (at most 10 ms); the
// margin leaves room for clocks of network file systems.
constexpr std::int64_t kFineTick = 100 * std::int64_t{1000000};
constexpr std::int64_t kCoarseTick = 2 * kNsPerSecond;

std::int64_t Ns(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * kNsPerSecond + t.tv_nsec;
}

FileStamp StampOf(const struct stat& st) {
    return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                     static_cast<std::int64_t>(st.st_size), Ns(st.st_mtim), Ns(st.st_ctim)};
}

} // namespace

std::optional<FileStamp> StampOfDescriptor(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return std::nullopt;
    }
    return StampOf(st);
}

std::optional<FileStamp> StampOfPath(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return StampOf(st);
}

bool StampIsRacy(const FileStamp& stamp, std::int64_t takenNs) {
    const std::int64_t latest = std::max(stamp.modifiedNs, stamp.changedNs);
    const bool coarse = stamp.modifiedNs % kNsPerSecond == 0 && stamp.changedNs % kNsPerSecond == 0;
    return takenNs - latest < (coarse ? kCoarseTick : kFineTick);
}

std::int64_t WallClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Ns(now);
}

} // namespace tomorine
