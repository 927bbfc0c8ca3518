#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tomorine {

// Firefox's compressed JSON files: "mozLz40\0", the decompressed size as a
// 32-bit little-endian number, then one LZ4 block. Nothing when the bytes are
// not such a file, announce more than their block can hold or the block does
// not give the size it announces; `why`, when given, then gets the reason.
std::optional<std::string> DecodeMozLz4(std::string_view bytes, std::string* why = nullptr);

// The decoded content of the file at `path`, read as a regular file of
// bounded size. Throws WorkbookError naming the file and what is wrong with it.
std::string ReadMozLz4File(const std::filesystem::path& path);

} // namespace tomorine
