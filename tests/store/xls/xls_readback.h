#pragma once

#include "store/workbook/workbook.h"

#include <filesystem>
#include <nlohmann/json.hpp>
#include <vector>

namespace tomorine::test {

// Writes `book` to `file` with WriteXlsFile, reads it back with xlrd and
// checks sheet names and order and every non-empty cell (only `rows`, 0-based,
// when given), value for value. Returns xlrd's answer for further checks.
nlohmann::json WriteAndCompareWithXlrd(const Workbook& book, const std::filesystem::path& file,
                                       const std::vector<int>& rows = {});

} // namespace tomorine::test
