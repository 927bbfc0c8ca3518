#pragma once

#include "store/workbook/workbook.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tomorine {

// Reads an Excel 97-2003 workbook (compound file holding a BIFF8 stream
// "Workbook" or "Book"). Worksheets only: chart, macro and module sheets are
// left out. Throws WorkbookError with a description that names `name` and the
// reason (not a workbook, encrypted, older than Excel 97, truncated, corrupt);
// never reads out of bounds, loops or allocates beyond the input's size.
Workbook ReadXlsBytes(std::span<const std::uint8_t> bytes, const std::filesystem::path& name);
// Reads the file with pread as it parses, holding a few blocks of its bytes
// at a time rather than all of them. A file that is not a regular one or is
// over 2 GiB is refused as ReadFileBytes refuses it; one cut short while it
// is read is reported as truncated.
Workbook ReadXlsFile(const std::filesystem::path& path);
// The same from a descriptor the caller opened (without blocking) and keeps
// open; the file is not checked for changes meanwhile.
Workbook ReadXlsDescriptor(int fd, const std::filesystem::path& name);

// Writes a BIFF8 workbook that Excel, LibreOffice and xlrd open. Sheet names
// and order and every cell's value are kept; nothing else is. Throws
// WorkbookError when the workbook cannot be written (no sheet, say).
std::vector<std::uint8_t> WriteXlsBytes(const Workbook& book);

// How a save wrote the workbook: encoded whole, or by copying from the file
// it was read from (or last saved to) the bytes of every row and shared
// string that did not change. Only files this codec wrote, unchanged on disk
// since, are saved by changes; texts that are no longer used stay in the
// shared-string table until a whole save.
enum class SaveMethod { Whole, Changes };

// Writes atomically: a temporary file in the same folder, flushed to disk,
// then renamed over `path`. On any failure the old file is untouched, no
// temporary file is left, and a WorkbookError names the file and the reason.
// Texts holding half a surrogate pair are written mended (RepairSplitPairs),
// so that xlrd reads every file saved; WriteXlsBytes writes them as they are.
// `allowed` Whole always encodes the whole workbook (compaction, say).
SaveMethod WriteXlsFile(const Workbook& book, const std::filesystem::path& path,
                        SaveMethod allowed = SaveMethod::Changes);

} // namespace tomorine
