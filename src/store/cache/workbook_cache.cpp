#include "store/cache/workbook_cache.h"

#include "store/files/absolute_path.h"
#include "store/files/data_file_lock.h"
#include "store/files/file_stamp.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tomorine {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxFiles = 2;
constexpr int kReadAttempts = 3;

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
    }

private:
    int fd_;
};

// Opens without blocking (a FIFO, say) and only a regular file; anything
// else is left to the reader, which reports it.
Descriptor OpenRegular(const fs::path& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        return Descriptor();
    }
    if (!S_ISREG(st.st_mode)) {
        throw WorkbookError(WorkbookFault::FileAccess,
                            QuotedPath(path) + " は通常のファイルではありません");
    }
    return fd;
}

struct Kept {
    fs::path key;
    std::shared_ptr<Workbook> book;
    FileStamp stamp;
    Descriptor fd; // holds the inode, so its number is not reused
    bool trusted = false;
    unsigned long long lastUse = 0;
};

} // namespace

struct WorkbookCache::Impl {
    std::mutex mutex;
    std::vector<Kept> files;
    unsigned long long uses = 0;

    Kept* find(const fs::path& key) {
        auto it =
            std::find_if(files.begin(), files.end(), [&](const Kept& k) { return k.key == key; });
        return it == files.end() ? nullptr : &*it;
    }

    void erase(const fs::path& key) {
        std::erase_if(files, [&](const Kept& k) { return k.key == key; });
    }

    // A file removed or changed since is only memory held for nothing.
    void purgeStale() {
        std::erase_if(files, [](const Kept& k) { return StampOfPath(k.key) != k.stamp; });
    }

    Kept& store(Kept kept) {
        erase(kept.key);
        purgeStale();
        if (files.size() >= kMaxFiles) {
            files.erase(
                std::min_element(files.begin(), files.end(), [](const Kept& a, const Kept& b) {
                    return a.lastUse < b.lastUse;
                }));
        }
        files.push_back(std::move(kept));
        return files.back();
    }

    // Reads the file; the stamp is taken before the read and after the
    // parse, which reads the file as it goes, and a file that changed
    // meanwhile is read again.
    Kept read(const fs::path& key) {
        for (int attempt = 1;; ++attempt) {
            Descriptor fd = OpenRegular(key);
            if (fd.get() < 0) {
                // Missing or unreadable: the reader says why. Should it read
                // the file after all, nothing of it is trusted.
                return Kept{key, std::make_shared<Workbook>(ReadXlsFile(key)), FileStamp{},
                            Descriptor()};
            }
            const std::int64_t taken = WallClockNs();
            std::optional<FileStamp> before = StampOfDescriptor(fd.get());
            if (!before) {
                throw FileError(errno, "読み込み", key);
            }
            const auto changed = [&] { return StampOfDescriptor(fd.get()) != before; };
            std::shared_ptr<Workbook> book;
            try {
                book = std::make_shared<Workbook>(ReadXlsDescriptor(fd.get(), key));
            } catch (const WorkbookError&) {
                if (attempt < kReadAttempts && changed()) {
                    continue; // cut short or rewritten while we read it
                }
                throw;
            }
            const bool same = !changed();
            if (!same && attempt < kReadAttempts) {
                continue;
            }
            Kept kept{key, std::move(book), *before, std::move(fd)};
            kept.trusted = same && !StampIsRacy(*before, taken);
            return kept;
        }
    }

    Kept& current(const fs::path& key) {
        Kept* kept = find(key);
        if (kept != nullptr && kept->trusted && StampOfPath(key) == kept->stamp) {
            kept->lastUse = ++uses;
            return *kept;
        }
        erase(key);
        purgeStale(); // before the read, so that two files are never held for one
        Kept& fresh = store(read(key));
        fresh.lastUse = ++uses;
        return fresh;
    }
};

WorkbookCache::WorkbookCache() : impl_(std::make_unique<Impl>()) {}
WorkbookCache::~WorkbookCache() = default;

std::shared_ptr<const Workbook> WorkbookCache::load(const fs::path& path) {
    std::lock_guard guard(impl_->mutex);
    return impl_->current(AbsolutePath(path)).book;
}

std::shared_ptr<Workbook> WorkbookCache::takeForChange(const fs::path& path) {
    std::lock_guard guard(impl_->mutex);
    const fs::path key = AbsolutePath(path);
    Kept& kept = impl_->current(key);
    std::shared_ptr<Workbook> book =
        kept.book.use_count() == 1 ? std::move(kept.book) : std::make_shared<Workbook>(*kept.book);
    impl_->erase(key);
    return book;
}

std::shared_ptr<Workbook> WorkbookCache::release(const std::shared_ptr<Workbook>& book) {
    std::lock_guard guard(impl_->mutex);
    for (Kept& kept : impl_->files) {
        if (kept.book == book && book.use_count() == 2) {
            std::shared_ptr<Workbook> mine = std::move(kept.book);
            const fs::path key = kept.key;
            impl_->erase(key);
            return mine;
        }
    }
    return nullptr;
}

void WorkbookCache::keepSaved(const fs::path& path, std::shared_ptr<Workbook> book) {
    std::lock_guard guard(impl_->mutex);
    const fs::path key = AbsolutePath(path);
    impl_->erase(key);
    Descriptor fd(::open(key.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    const std::int64_t taken = WallClockNs();
    std::optional<FileStamp> stamp = fd.get() >= 0 ? StampOfDescriptor(fd.get()) : std::nullopt;
    if (!stamp || !book) {
        return;
    }
    Kept kept{key, std::move(book), *stamp, std::move(fd)};
    // Under the lock no other writer of ours can have come between the
    // rename and this look; the inode kept open tells any later one apart.
    kept.trusted = DataFileLock::HeldByThisThread(key) || !StampIsRacy(*stamp, taken);
    kept.lastUse = ++impl_->uses;
    impl_->store(std::move(kept));
}

void WorkbookCache::clear() {
    std::lock_guard guard(impl_->mutex);
    impl_->files.clear();
}

WorkbookCache& DataWorkbookCache() {
    static WorkbookCache cache;
    return cache;
}

} // namespace tomorine
