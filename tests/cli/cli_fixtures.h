#pragma once

#include "store/entry.h"

#include <filesystem>
#include <vector>

namespace tomorine::test {

// An entry with the texts not given left empty.
Entry MakeEntry(std::int32_t serial, std::u16string url, std::u16string title,
                std::u16string subtitle = {}, std::u16string keywords = {},
                std::u16string comment = {});

struct StoredEntry {
    Entry entry;
    int deleted = 0; // the 削除 flag
};

// A data workbook holding the entries after the header and dummy rows.
void WriteDataWorkbook(const std::filesystem::path& path, const std::vector<StoredEntry>& entries);

// A workbook of the older layout: 16 columns by position and no URL5 column;
// the URL, comment and keywords each spread over their four columns.
void WriteOldLayoutWorkbook(const std::filesystem::path& path, const std::vector<Entry>& entries);

} // namespace tomorine::test
