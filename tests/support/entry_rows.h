#pragma once

#include "store/entry.h"
#include "store/workbook/workbook.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tomorine::test {

// An entry's texts by column name (URL1, タイトル1 …); others are empty (Null).
using Texts = std::map<std::u16string, std::u16string>;
inline const Texts kPage{{u"URL1", u"https://example.jp/"}, {u"タイトル1", u"例"}};
inline const Texts kNew{{u"URL1", u"https://new.example/"}, {u"タイトル1", u"新"}};

Sheet::Row EntryRow(std::int32_t serial, const Texts& texts, int deleted = 0);

// A data workbook (header and dummy row) with these rows after them.
Workbook DataBook(const std::vector<Sheet::Row>& rows);
void WriteDataBook(const std::filesystem::path& file, const std::vector<Sheet::Row>& rows);

// A data workbook holding `entries` as add stores them; those whose serials
// are in `deleted` flagged deleted.
Workbook EntriesBook(const std::vector<Entry>& entries, const std::vector<int>& deleted = {});
void WriteEntries(const std::filesystem::path& path, const std::vector<Entry>& entries,
                  const std::vector<int>& deleted = {});

} // namespace tomorine::test
