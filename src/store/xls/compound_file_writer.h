#pragma once

#include "store/xls/compound_file_format.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tomorine::cfb {

// A caller leaves HeaderSize bytes at the start of the buffer for the file
// header.

// Largest stream a version 3 file can address.
inline constexpr std::size_t MaxStreamSize = 0x7FFFFFFF;

// Turns `file` into a compound file (version 3, 512-byte sectors) holding one
// stream "Workbook": the bytes after the first HeaderSize bytes. The stream is
// padded with zeros to at least 4096 bytes so that it lives in regular
// sectors and no mini stream is needed. Appends the FAT, DIFAT and directory
// sectors and fills in the header. `elsewhere` stream bytes are not in `file`
// but go between its bytes when it is written.
void FinishCompoundFile(std::vector<std::uint8_t>& file, std::size_t elsewhere = 0);

} // namespace tomorine::cfb
