#pragma once

#include "store/workbook/workbook.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tomorine::test {

// The texts of an entry row by column name (URL1, タイトル1 …); columns not
// named are empty cells.
using Texts = std::map<std::u16string, std::u16string>;

// An entry row: serial, the 56 text columns, 削除.
Sheet::Row EntryRow(std::int32_t serial, const Texts& texts, int deleted = 0);

// A data workbook (header and dummy row) with the given rows after them.
Workbook DataBook(const std::vector<Sheet::Row>& rows);
void WriteDataBook(const std::filesystem::path& file, const std::vector<Sheet::Row>& rows);

// The entry rows of the file's entry sheet from row 3: serial, non-empty
// texts, 削除.
struct StoredEntry {
    std::int32_t serial;
    Texts texts;
    int deleted;
    bool operator==(const StoredEntry&) const = default;
};
std::vector<StoredEntry> StoredEntries(const std::filesystem::path& file);

} // namespace tomorine::test
