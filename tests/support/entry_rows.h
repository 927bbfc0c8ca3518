#pragma once

#include "store/workbook/workbook.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
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

} // namespace tomorine::test
