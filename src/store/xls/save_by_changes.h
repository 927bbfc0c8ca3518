#pragma once

#include "store/workbook/workbook.h"
#include "store/xls/record_writer.h"
#include "store/xls/stored_layout.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace tomorine::xls {

// A workbook's file bytes, and its layout in them (no stamp yet).
struct EncodedWorkbook {
    std::vector<std::uint8_t> file;
    std::shared_ptr<StoredLayout> layout;
};

// The file for `book`, taking every row and shared string that did not
// change since `stored` from the file at `path` as it lies there, copied
// after checking that its records are where `stored` says. Nullopt when that
// file is not the one `stored` describes, when it cannot be read, or when the
// result needs a whole encode (a new text holding half a surrogate pair,
// another set of sheets). Throws WorkbookError as the whole encode does.
// Puts the compound file around the stream `out` wrote; throws WorkbookError
// when the stream is too big for the format.
void FinishWorkbookFile(std::vector<std::uint8_t>& file, const biff::RecordWriter& out);

std::optional<EncodedWorkbook> EncodeChanges(const Workbook& book, const StoredLayout& stored,
                                             const std::filesystem::path& path);

} // namespace tomorine::xls
