#pragma once

#include "store/entry.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tomorine::test {

// A file's bytes and modification time: what "left as it was" means.
struct FileState {
    std::vector<std::uint8_t> bytes;
    std::filesystem::file_time_type modified;
    bool operator==(const FileState&) const = default;
};

// Moves the file's modification time a day back, so that any rewrite shows,
// and returns its state.
FileState AgedState(const std::filesystem::path& file);
FileState StateOf(const std::filesystem::path& file);

// Every entry below a folder, files with their contents and links with their
// targets: to show that a failed call left nothing behind.
std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder);

// Registers an entry as the editor does: the next serial, the insert
// statement on a connection of its own. Returns the serial.
std::int32_t Register(const std::filesystem::path& dataFile, const Entry& entry);

// The live entries (削除 = 0) in sheet order, as the readers read them back.
std::vector<Entry> LiveEntries(const std::filesystem::path& dataFile);

// An entry as its serial and five texts (UTF-8), for readable expectations.
std::vector<std::string> Shown(const Entry& entry);

} // namespace tomorine::test
