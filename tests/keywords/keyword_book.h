#pragma once

#include "store/workbook/workbook.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tomorine::test {

// One entry row as a keyword test wants it: the keyword chunks as the cells
// hold them (an empty chunk is an empty cell, read as Null) and the deleted flag.
struct KeywordRow {
    std::vector<std::u16string> chunks;
    bool deleted = false;
};

// The chunks that the register command stores for a keyword text (trailing
// spaces of a chunk as tabs).
KeywordRow Stored(std::u16string_view keywords, bool deleted = false);

// A data workbook (header and dummy row) with these rows, serials 1, 2 ...
Workbook KeywordBook(const std::vector<KeywordRow>& rows);

// The listed keywords in UTF-8, for readable failures.
std::vector<std::string> Utf8Keywords(const std::filesystem::path& dataFile);

} // namespace tomorine::test
