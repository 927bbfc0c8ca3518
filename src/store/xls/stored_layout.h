#pragma once

#include "store/files/file_bytes.h"
#include "store/files/file_stamp.h"
#include "store/workbook/workbook.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tomorine::xls {

// A file open for reading and its stamp.
struct StoredFileId {
    int fd = -1;
    FileStamp stamp;
};

// Where a row's records lie in the workbook stream.
struct StoredRow {
    int row = 0; // 1-based
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
};

// A string's start in the SST as EXTSST gives it.
struct StoredStringStart {
    std::uint32_t position = 0;
    std::uint16_t offsetInRecord = 0;
};

// A file this codec wrote (or one laid out as it writes): the workbook stream
// lies in one run of the file, every row is a ROW record followed by its own
// cells, and the SST holds no half of a surrogate pair. Each sheet's rows are
// in ascending order; Sheet::storedRow tells which of them still hold what
// the workbook's rows hold.
struct StoredLayout : StoredForm {
    // Held open, so that its inode number cannot go to a file that replaces
    // it and make the stamps of the two alike.
    std::shared_ptr<ReadOnlyFile> file;
    FileStamp stamp;
    std::uint64_t streamInFile = 0;
    std::uint32_t sstBegin = 0; // the SST record's header
    std::uint32_t sstEnd = 0;   // past its last CONTINUE record
    std::vector<StoredStringStart> strings;
    std::vector<std::vector<StoredRow>> sheets;

    // Attached to `book`, whose sheets it describes in order; nullptr detaches.
    static void Attach(const Workbook& book, std::shared_ptr<const StoredLayout> layout);
};

} // namespace tomorine::xls
