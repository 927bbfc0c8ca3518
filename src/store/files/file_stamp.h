#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace tomorine {

// What the file system tells of a file's identity and last change. Two equal
// stamps of one path mean the same file, unchanged, unless the change fell
// into one tick of the file system's clock (see StampIsRacy).
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // st_mtim
    std::int64_t changedNs = 0;  // st_ctim: also moves on a rename or chmod

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file an open descriptor refers to; nullopt when fstat fails.
std::optional<FileStamp> StampOfDescriptor(int fd);
// The stamp of what `path` names now (links followed); nullopt when there is
// nothing to stat.
std::optional<FileStamp> StampOfPath(const std::filesystem::path& path);

// Whether a later change of the file could leave the same stamp: it was
// modified so shortly before `takenNs` (CLOCK_REALTIME when the stamp was
// taken) that the next write may fall into the same clock tick. File systems
// that keep whole seconds only (nanoseconds 0) are doubted for 2 s.
bool StampIsRacy(const FileStamp& stamp, std::int64_t takenNs);

// CLOCK_REALTIME in nanoseconds, the clock file times are taken from.
std::int64_t WallClockNs();

} // namespace tomorine
