#pragma once

#include "store/data_connection.h"
#include "store/entry_statements.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace tomorine::test {

// A file's bytes and modification time: what "left as it was" means.
struct FileState {
    std::vector<std::uint8_t> bytes;
    std::filesystem::file_time_type modified;
    bool operator==(const FileState&) const = default;
};

inline FileState StateOf(const std::filesystem::path& file) {
    return {ReadBytes(file), std::filesystem::last_write_time(file)};
}

// Moves the modification time a day back, so that any rewrite shows.
inline FileState AgedState(const std::filesystem::path& file) {
    const auto time = std::filesystem::last_write_time(file) - std::chrono::hours(24);
    std::filesystem::last_write_time(file, time);
    return StateOf(file);
}

// Every name below a folder: what a failed call must not add to.
inline std::set<std::string> Names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        names.insert(entry.path().lexically_relative(folder).string());
    }
    return names;
}

// Registers as the editor does: the next serial, the insert statement on a
// connection of its own. Returns the serial.
inline std::int32_t Register(const std::filesystem::path& dataFile, const Entry& entry) {
    const std::int32_t serial = NextSerial(dataFile);
    EXPECT_EQ(ExecuteOnDataFile(dataFile, BuildInsertStatement(serial, entry)), 1);
    return serial;
}

// The live entries in sheet order, as serial and five texts in UTF-8.
inline std::vector<std::vector<std::string>> LiveEntries(const std::filesystem::path& dataFile) {
    Connection connection(Connection::ConnectionString(dataFile));
    Recordset rows = connection.execute(u"select * from [トモリネ$] where 削除 = 0");
    std::vector<std::vector<std::string>> entries;
    for (; !rows.eof(); rows.moveNext()) {
        const Entry e = ReadEntry(rows);
        entries.push_back({std::to_string(e.serial), ToUtf8(e.url), ToUtf8(e.title),
                           ToUtf8(e.subtitle), ToUtf8(e.keywords), ToUtf8(e.comment)});
    }
    return entries;
}

} // namespace tomorine::test
