#pragma once

#include "store/workbook/workbook_error.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace tomorine {

// An allocator that leaves new bytes unset, so that a read buffer is not
// zero-filled before the file's bytes overwrite it.
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() = default;
    template <typename U>
    UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using FileBytes = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

// The largest workbook file we read: 2 GiB, what a compound file of 512-byte
// sectors may hold (its streams are at most 2 GiB) and far more than a
// workbook of 65,536 full rows needs; larger files are refused before
// anything is read.
inline constexpr std::uint64_t kMaxWorkbookFileBytes = std::uint64_t{1} << 31;

// The whole content of a regular file of at most `maxBytes` bytes. The file
// is opened without blocking and looked at before it is read, so a pipe, a
// device or a folder is refused at once rather than read forever. Throws
// WorkbookError naming the file: FileNotFound for a missing file in an
// existing folder, FileAccess for a folder, a file that is not a
// regular one or one over the bound, else what FileError makes of errno.
FileBytes ReadFileBytes(const std::filesystem::path& path,
                        std::uint64_t maxBytes = kMaxWorkbookFileBytes);

// A descriptor open for reading, closed with the object.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(int fd = -1) : fd_(fd) {}
    ~ReadOnlyFile();
    ReadOnlyFile(ReadOnlyFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    ReadOnlyFile& operator=(ReadOnlyFile&&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Drops `file` on another thread when this is its last holder: closing the
// last descriptor of a file already replaced frees its pages and blocks
// (20 ms for 50 MB), which a save need not wait for.
void ReleaseInBackground(std::shared_ptr<ReadOnlyFile> file);

// Opens `path` as ReadFileBytes does, refusing the same files with the same
// errors, but reads nothing.
ReadOnlyFile OpenFileForReading(const std::filesystem::path& path,
                                std::uint64_t maxBytes = kMaxWorkbookFileBytes);

// The size of the file open at `fd`, refused as ReadFileBytes refuses it
// when it is not a regular file or is over `maxBytes`.
std::uint64_t ReadableFileSize(int fd, const std::filesystem::path& path,
                               std::uint64_t maxBytes = kMaxWorkbookFileBytes);

// The errors a reader of other files than workbooks throws when a file is
// refused; each makes the error, the read throws it.
struct FileReadRefusals {
    // A folder (`isFolder`), pipe, device or anything else not a regular file.
    std::function<WorkbookError(const std::filesystem::path&, bool isFolder)> notRegular;
    std::function<WorkbookError(const std::filesystem::path&, std::uint64_t maxBytes)> tooLarge;
    // The open failed with errno `error`.
    std::function<WorkbookError(const std::filesystem::path&, int error)> openFailed;
};

// ReadFileBytes, refusing a file with the caller's own errors.
FileBytes ReadFileBytes(const std::filesystem::path& path, std::uint64_t maxBytes,
                        const FileReadRefusals& refusals);

} // namespace tomorine
