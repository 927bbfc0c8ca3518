#pragma once

#include <chrono>
#include <filesystem>

namespace tomorine {

// One writer at a time on a data file, across processes and threads. Hold a
// DataFileLock from the read that a change is based on to the rename that
// saves it. The lock is an advisory flock on a hidden file beside the data
// file (".name.lock"): the atomic save replaces the data file's inode, so the
// data file itself cannot carry the lock. The lock file lives only while the
// lock is held. Every writer of this program takes it; programs that do not
// know of it are not stopped.
//
// Nested locks of one thread on the same file are counted, so a command that
// holds the lock may call routines that take it again. Another thread or
// process waits up to `wait`, then gets a WorkbookError naming the file. A
// folder where the lock file cannot be made (read-only, say) is no error:
// nothing can be saved there either, and the save reports that.
class DataFileLock {
public:
    static constexpr std::chrono::milliseconds kDefaultWait{5000};

    explicit DataFileLock(const std::filesystem::path& dataFile,
                          std::chrono::milliseconds wait = kDefaultWait);
    ~DataFileLock();
    DataFileLock(const DataFileLock&) = delete;
    DataFileLock& operator=(const DataFileLock&) = delete;

    // The lock file of a data file (symbolic links resolved).
    static std::filesystem::path LockPathOf(const std::filesystem::path& dataFile);
    // Whether the calling thread holds the lock of `dataFile`.
    static bool HeldByThisThread(const std::filesystem::path& dataFile);

private:
    std::filesystem::path lockPath_;
};

} // namespace tomorine
