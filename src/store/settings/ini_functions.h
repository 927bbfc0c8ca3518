#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tomorine {

// Settings values are read into a buffer of this many characters.
inline constexpr int kIniBufferSize = 256;

// The key's value, or the default when the file, the section or the key is
// missing or the file cannot be read. Cut to bufferSize - 1 characters
// (UTF-16 code units) and at a NUL, as the fixed read buffer cuts it.
std::string ReadIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue, int bufferSize);

// The key's value as an integer in the way the Windows reader takes it: the
// default when the key is missing or empty, otherwise the leading decimal
// number (with its sign) wrapped to 32 bits, 0 when there is none.
std::int32_t ReadIniInt(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::int32_t defaultValue);

// Sets one key and keeps everything else in the file; creates the file when
// it is missing. False, with every file as it was, when the folder is
// missing or not writable, the file exists but cannot be read, or the names
// or the value cannot be stored. Callers that follow the settings rules
// ignore the result.
bool WriteIniString(const std::filesystem::path& file, std::string_view section,
                    std::string_view key, std::string_view value);

} // namespace tomorine
