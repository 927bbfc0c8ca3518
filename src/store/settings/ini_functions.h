#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tomorine {

// Settings values are read into a buffer of this many characters.
inline constexpr int kIniBufferSize = 256;

// A settings file larger than this is not read (nor ever written over): no
// settings need more, and reading it would stall the start.
inline constexpr std::uint64_t kMaxSettingsFileBytes = 1 << 20;

// A settings file read once, for several values.
struct LoadedIniFile {
    std::optional<std::string> bytes; // empty when missing or refused
    // Why a file that is there was refused (too large, not a regular file,
    // unreadable) and that its defaults are used; empty otherwise.
    std::string notice;
};

// Opens only a regular file, without blocking, and reads at most
// kMaxSettingsFileBytes.
LoadedIniFile LoadIniFile(const std::filesystem::path& file);

// ReadIniString and ReadIniInt over a file already read.
std::string IniString(const LoadedIniFile& file, std::string_view section, std::string_view key,
                      std::string_view defaultValue, int bufferSize);
std::int32_t IniInt(const LoadedIniFile& file, std::string_view section, std::string_view key,
                    std::int32_t defaultValue);

// The key's value, or the default when the file, the section or the key is
// missing or the file cannot be read. Cut to bufferSize - 1 characters
// (UTF-16 code units) and at a NUL, as the fixed read buffer cuts it.
std::string ReadIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue, int bufferSize);

// The key's value as an integer, read leniently so that any settings file
// gives a number: the default when the key is missing or empty, otherwise the leading decimal
// number (with its sign) wrapped to 32 bits, 0 when there is none.
std::int32_t ReadIniInt(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::int32_t defaultValue);

// Sets one key and keeps everything else in the file; creates the file when
// it is missing. False, with every file as it was, when the folder is
// missing or not writable, the file exists but cannot be read, or the names
// or the value cannot be stored; a file that is not a regular one or is over
// kMaxSettingsFileBytes is never written over. Callers that follow the settings rules
// ignore the result.
bool WriteIniString(const std::filesystem::path& file, std::string_view section,
                    std::string_view key, std::string_view value);

struct IniSetting {
    std::string_view key;
    std::string_view value;
};

// Sets several keys, in order, with one read and at most one write of the
// file; a key that cannot be stored is left out and makes the result false.
bool WriteIniStrings(const std::filesystem::path& file, std::string_view section,
                     std::span<const IniSetting> settings);

} // namespace tomorine
