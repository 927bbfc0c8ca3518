#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tomorine::cfb {

// Bytes a caller leaves at the start of the buffer for the file header.
inline constexpr std::size_t HeaderSize = 512;

// Largest stream a version 3 file can address.
inline constexpr std::size_t MaxStreamSize = 0x7FFFFFFF;

// Turns `file` into a compound file (version 3, 512-byte sectors) holding one
// stream "Workbook": the bytes after the first HeaderSize bytes. The stream is
// padded with zeros to at least 4096 bytes so that it lives in regular
// sectors and no mini stream is needed. Appends the FAT, DIFAT and directory
// sectors and fills in the header.
void FinishCompoundFile(std::vector<std::uint8_t>& file);

} // namespace tomorine::cfb
