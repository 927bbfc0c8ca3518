#pragma once

#include "store/files/file_bytes.h"
#include "store/workbook/workbook.h"
#include "store/xls/record_writer.h"
#include "store/xls/stored_layout.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace tomorine::xls {

// Bytes of the file saved before that go into the new one as they are,
// before `file[at]`.
struct CopiedRange {
    std::size_t at = 0;
    std::uint64_t from = 0;
    std::uint64_t length = 0;
};

// A workbook's file: its bytes, with `copied` ranges of `source` between
// them, and its layout there (no stamp yet).
struct EncodedWorkbook {
    std::vector<std::uint8_t> file;
    std::shared_ptr<StoredLayout> layout;
    std::vector<CopiedRange> copied;
    std::shared_ptr<ReadOnlyFile> source;
};

// Puts the compound file around the stream `out` wrote; throws WorkbookError
// when the stream is too big for the format.
void FinishWorkbookFile(EncodedWorkbook& encoded, const biff::RecordWriter& out);

// The file for `book`, taking every row that did not change since `stored`
// (Sheet::storedRow) and the whole shared-string table from the file
// `stored` holds open; the texts of the rows that changed are added to the
// table. Nullopt when `path` no longer names that file unchanged (stamps),
// when the first bytes of a range are not what `stored` says, when it cannot
// be read, or when a new text holds half a surrogate pair, which the whole
// encode mends.
// Throws WorkbookError as the whole encode does.
std::optional<EncodedWorkbook> EncodeChanges(const Workbook& book, const StoredLayout& stored,
                                             const std::filesystem::path& path);

} // namespace tomorine::xls
