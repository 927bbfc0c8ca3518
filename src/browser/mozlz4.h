#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tomorine {

// Firefox's compressed JSON files: "mozLz40\0", the decompressed size as a
// 32-bit little-endian number, then one LZ4 block. Nothing when the bytes are
// not such a file or the block does not give the size it announces.
std::optional<std::string> DecodeMozLz4(std::string_view bytes);
std::optional<std::string> ReadMozLz4File(const std::filesystem::path& path);

} // namespace tomorine
