#include "store/files/data_file_lock.h"

#include "store/files/absolute_path.h"
#include "store/workbook/workbook_error.h"

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tomorine {

namespace {

namespace fs = std::filesystem;

struct Holder {
    std::thread::id owner;
    std::multiset<fs::path> files; // one per nested lock
    int fd = -1;
};

// The locks this process holds, by folder: flock belongs to an open file
// description, so a second open in the same process would block itself.
struct Registry {
    std::mutex mutex;
    std::condition_variable released;
    std::map<fs::path, Holder> held;
};

Registry& Locks() {
    static Registry registry;
    return registry;
}

// Absolute first: a bare name of a file not yet there stays bare under
// weakly_canonical, and its folder would be "".
fs::path Resolved(const fs::path& dataFile) {
    std::error_code error;
    const fs::path absolute = AbsolutePath(dataFile);
    const fs::path target = fs::weakly_canonical(absolute, error);
    return error ? absolute : target;
}

WorkbookError Busy(const fs::path& dataFile) {
    return WorkbookError(
        WorkbookFault::FileAccess,
        QuotedPath(dataFile) +
            " は他のプログラムが書き込み中です。しばらくしてからやり直してください");
}

WorkbookError CannotLock(int error, const fs::path& dataFile, const fs::path& folder) {
    if (error == ENOENT || error == ENOTDIR) {
        return FileError(error, "保存", dataFile); // nothing could be saved there either
    }
    const std::string reason =
        error == EACCES || error == EPERM ? "読み取りの権限がありません" : std::strerror(error);
    return WorkbookError(WorkbookFault::FileAccess,
                         QuotedPath(dataFile) + " に書き込めません: フォルダ " +
                             QuotedPath(folder) + " をロックできません (" + reason +
                             ")。フォルダに読み取りの権限を与えるか、ロックできるフォルダに" +
                             "ファイルを移してください");
}

// Whether `fd` is still the folder at `folder`: one renamed away meanwhile
// no longer guards the data file's name.
bool StillTheFolder(int fd, const fs::path& folder) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(folder.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// The flock of the folder; throws when it cannot be taken or another process
// keeps it past the deadline.
int LockFolder(const fs::path& folder, const fs::path& dataFile,
               std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            throw CannotLock(errno, dataFile, folder);
        }
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error != EWOULDBLOCK && error != EINTR) {
                ::close(fd);
                throw CannotLock(error, dataFile, folder);
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                ::close(fd);
                throw Busy(dataFile);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (StillTheFolder(fd, folder)) {
            return fd;
        }
        ::close(fd);
    }
}

} // namespace

fs::path DataFileLock::LockedFolderOf(const fs::path& dataFile) {
    return Resolved(dataFile).parent_path();
}

bool DataFileLock::HeldByThisThread(const fs::path& dataFile) {
    const fs::path file = Resolved(dataFile);
    Registry& locks = Locks();
    std::lock_guard guard(locks.mutex);
    auto it = locks.held.find(file.parent_path());
    return it != locks.held.end() && it->second.owner == std::this_thread::get_id() &&
           it->second.files.contains(file);
}

DataFileLock::DataFileLock(const fs::path& dataFile, std::chrono::milliseconds wait)
    : file_(Resolved(dataFile)), folder_(file_.parent_path()) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    Registry& locks = Locks();
    std::unique_lock guard(locks.mutex);
    const auto self = std::this_thread::get_id();
    auto it = locks.held.find(folder_);
    if (it != locks.held.end() && it->second.owner == self) {
        it->second.files.insert(file_);
        return;
    }
    if (!locks.released.wait_until(guard, deadline,
                                   [&] { return !locks.held.contains(folder_); })) {
        throw Busy(dataFile);
    }
    // Claimed for this thread before the flock, so that other threads wait
    // here rather than on the folder.
    locks.held[folder_] = Holder{self, {file_}, -1};
    guard.unlock();
    int fd = -1;
    try {
        fd = LockFolder(folder_, dataFile, deadline);
    } catch (...) {
        guard.lock();
        locks.held.erase(folder_);
        locks.released.notify_all();
        throw;
    }
    guard.lock();
    locks.held[folder_].fd = fd;
}

DataFileLock::~DataFileLock() {
    Registry& locks = Locks();
    std::lock_guard guard(locks.mutex);
    auto it = locks.held.find(folder_);
    if (it == locks.held.end()) {
        return;
    }
    it->second.files.erase(it->second.files.find(file_));
    if (!it->second.files.empty()) {
        return;
    }
    ::close(it->second.fd);
    locks.held.erase(it);
    locks.released.notify_all();
}

} // namespace tomorine
