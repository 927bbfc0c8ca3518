#include "data_file.h"

#include "store/data_connection.h"
#include "store/entry_statements.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <chrono>
#include <gtest/gtest.h>

namespace tomorine::test {

namespace fs = std::filesystem;

FileState AgedState(const fs::path& file) {
    fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(24));
    return StateOf(file);
}

FileState StateOf(const fs::path& file) {
    return {ReadBytes(file), fs::last_write_time(file)};
}

std::map<std::string, std::string> FolderContents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        if (entry.is_symlink()) {
            contents[name] = "-> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            const std::vector<std::uint8_t> bytes = ReadBytes(entry.path());
            contents[name] = std::string(bytes.begin(), bytes.end());
        } else {
            contents[name] = "folder";
        }
    }
    return contents;
}

std::int32_t Register(const fs::path& dataFile, const Entry& entry) {
    const std::int32_t serial = NextSerial(dataFile);
    EXPECT_EQ(ExecuteOnDataFile(dataFile, BuildInsertStatement(serial, entry)), 1);
    return serial;
}

std::vector<Entry> LiveEntries(const fs::path& dataFile) {
    Connection connection(Connection::ConnectionString(dataFile));
    Recordset rows = connection.execute(u"select * from [トモリネ$] where 削除 = 0");
    std::vector<Entry> entries;
    for (; !rows.eof(); rows.moveNext()) {
        entries.push_back(ReadEntry(rows));
    }
    connection.close();
    return entries;
}

std::vector<std::string> Shown(const Entry& entry) {
    return {std::to_string(entry.serial), ToUtf8(entry.url),      ToUtf8(entry.title),
            ToUtf8(entry.subtitle),       ToUtf8(entry.keywords), ToUtf8(entry.comment)};
}

} // namespace tomorine::test
