#include "store/files/data_file_lock.h"

#include "store/workbook/workbook_error.h"

#include <cerrno>
#include <condition_variable>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tomorine {

namespace {

struct Holder {
    std::thread::id owner;
    int depth = 0;
    int fd = -1;
};

// The locks this process holds, by lock file: flock belongs to an open file
// description, so a second open in the same process would block itself.
struct Registry {
    std::mutex mutex;
    std::condition_variable released;
    std::map<std::filesystem::path, Holder> held;
};

Registry& Locks() {
    static Registry registry;
    return registry;
}

WorkbookError Busy(const std::filesystem::path& dataFile) {
    return WorkbookError(ErrorNumber::FileAccess,
                         QuotedPath(dataFile) +
                             " は他のプログラムが書き込み中です。しばらくしてからやり直してください");
}

int OpenLockFile(const std::filesystem::path& lockPath) {
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0 && errno == EACCES) {
        // Another user's lock file: flock needs no write access.
        fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    }
    return fd;
}

// Whether `fd` is still the file at `lockPath`: the holder before us removes
// the lock file before it lets go, and whoever waited on the removed file
// must lock the new one instead.
bool StillTheLockFile(int fd, const std::filesystem::path& lockPath) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(lockPath.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// The flock of the lock file; -1 with no error when the folder takes no lock
// file, throws when another process keeps it past the deadline.
int LockFile(const std::filesystem::path& lockPath, const std::filesystem::path& dataFile,
             std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const int fd = OpenLockFile(lockPath);
        if (fd < 0) {
            return -1;
        }
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                ::close(fd);
                return -1;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                ::close(fd);
                throw Busy(dataFile);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (StillTheLockFile(fd, lockPath)) {
            return fd;
        }
        ::close(fd);
    }
}

} // namespace

std::filesystem::path DataFileLock::LockPathOf(const std::filesystem::path& dataFile) {
    std::error_code error;
    std::filesystem::path target = std::filesystem::weakly_canonical(dataFile, error);
    if (error) {
        target = std::filesystem::absolute(dataFile, error);
        target = (error ? dataFile : target).lexically_normal();
    }
    return target.parent_path() / ("." + target.filename().string() + ".lock");
}

bool DataFileLock::HeldByThisThread(const std::filesystem::path& dataFile) {
    Registry& locks = Locks();
    std::lock_guard guard(locks.mutex);
    auto it = locks.held.find(LockPathOf(dataFile));
    return it != locks.held.end() && it->second.owner == std::this_thread::get_id();
}

DataFileLock::DataFileLock(const std::filesystem::path& dataFile, std::chrono::milliseconds wait)
    : lockPath_(LockPathOf(dataFile)) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    Registry& locks = Locks();
    std::unique_lock guard(locks.mutex);
    const auto self = std::this_thread::get_id();
    auto it = locks.held.find(lockPath_);
    if (it != locks.held.end() && it->second.owner == self) {
        ++it->second.depth;
        return;
    }
    if (!locks.released.wait_until(guard, deadline,
                                   [&] { return !locks.held.contains(lockPath_); })) {
        throw Busy(dataFile);
    }
    // Claimed for this thread before the file lock, so that other threads
    // wait here rather than on the file.
    locks.held[lockPath_] = Holder{self, 1, -1};
    guard.unlock();
    int fd = -1;
    try {
        fd = LockFile(lockPath_, dataFile, deadline);
    } catch (...) {
        guard.lock();
        locks.held.erase(lockPath_);
        locks.released.notify_all();
        throw;
    }
    guard.lock();
    locks.held[lockPath_].fd = fd;
}

DataFileLock::~DataFileLock() {
    Registry& locks = Locks();
    std::lock_guard guard(locks.mutex);
    auto it = locks.held.find(lockPath_);
    if (it == locks.held.end() || --it->second.depth > 0) {
        return;
    }
    if (it->second.fd >= 0) {
        // Removed while still held, so that no lock file stays behind and a
        // waiter never holds a file that is gone (see StillTheLockFile).
        ::unlink(lockPath_.c_str());
        ::close(it->second.fd);
    }
    locks.held.erase(it);
    locks.released.notify_all();
}

} // namespace tomorine
