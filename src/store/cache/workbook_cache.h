#pragma once

#include "store/workbook/workbook.h"

#include <filesystem>
#include <memory>

namespace tomorine {

// Workbooks kept between commands, so that a command does not read a file
// it read before when the file has not changed since. The file is compared
// on every use by device, inode, size and modification and change times to
// the nanosecond; the kept workbook holds the file open, so that its inode
// number cannot be given to a file that replaces it. A file written so
// recently that a change could hide inside one tick of the file system's
// clock is read again at its next use, and so is every file the cache has
// any doubt about. At most two files are kept. Safe to use from any thread.
class WorkbookCache {
public:
    WorkbookCache();
    ~WorkbookCache();
    WorkbookCache(const WorkbookCache&) = delete;
    WorkbookCache& operator=(const WorkbookCache&) = delete;

    // The workbook at `path` as it is on disk now, shared: nobody may change
    // it (Connection copies it before it writes). Throws
    // WorkbookError as ReadXlsFile does.
    std::shared_ptr<const Workbook> load(const std::filesystem::path& path);

    // For a writer that holds DataFileLock: the workbook at `path` as it is
    // on disk now, for the caller alone to change (the kept one when no
    // reader shares it, else a copy). Until keepSaved the cache keeps nothing
    // for `path`, so a change that fails half-way is never served.
    std::shared_ptr<Workbook> takeForChange(const std::filesystem::path& path);

    // Hands a loaded workbook over to a caller that is about to change it:
    // when `book` is the one kept and no one but the cache and the caller
    // holds it, the cache lets it go and returns it; otherwise nullptr (copy
    // it then).
    std::shared_ptr<Workbook> release(const std::shared_ptr<Workbook>& book);

    // After `book` was saved to `path` under DataFileLock: keeps it as what
    // the file holds. Without the lock it is kept like a file just read.
    void keepSaved(const std::filesystem::path& path, std::shared_ptr<Workbook> book);

    // Drops what is kept for every file.
    void clear();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The cache every command of this process shares.
WorkbookCache& DataWorkbookCache();

} // namespace tomorine
