#pragma once

#include <chrono>
#include <filesystem>

namespace tomorine {

// One writer at a time on a data file, across processes and threads. Hold a
// DataFileLock from the read that a change is based on to the rename that
// saves it. Every writer of this program takes it; programs that do not know
// of it are not stopped.
//
// The lock is an advisory flock on the data file's folder (symbolic links
// resolved), opened read-only. The atomic save replaces the data file's
// inode, so the file itself cannot carry the lock; the folder outlives every
// save, and whoever may write the data file can open it, so no file is
// created for the lock and none left by a killed writer of another user can
// block. A flock ends with its holder's process, so nothing is stale. The
// cost: writers of data files in one folder take turns.
//
// Nested locks of one thread on files of the same folder are counted, so a
// command that holds the lock may call routines that take it again. Another
// thread or process waits up to `wait`, then gets a WorkbookError naming the
// file. A folder that cannot be locked (missing, not readable, a file system
// without flock) is a WorkbookError naming it and what to do: nothing is
// written unlocked.
class DataFileLock {
public:
    static constexpr std::chrono::milliseconds kDefaultWait{5000};

    explicit DataFileLock(const std::filesystem::path& dataFile,
                          std::chrono::milliseconds wait = kDefaultWait);
    ~DataFileLock();
    DataFileLock(const DataFileLock&) = delete;
    DataFileLock& operator=(const DataFileLock&) = delete;

    // The folder locked for a data file (symbolic links resolved).
    static std::filesystem::path LockedFolderOf(const std::filesystem::path& dataFile);
    // Whether the calling thread holds the lock for `dataFile` itself (not
    // only for another file of its folder).
    static bool HeldByThisThread(const std::filesystem::path& dataFile);

private:
    std::filesystem::path file_;   // symbolic links resolved
    std::filesystem::path folder_; // the registry's key
};

} // namespace tomorine
