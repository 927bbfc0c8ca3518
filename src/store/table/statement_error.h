#pragma once

#include "store/workbook/workbook_error.h"

#include <filesystem>
#include <string_view>

namespace tomorine {

// ErrorNumber::Statement for a statement SQLite rejected. The description
// names the workbook file, the sheet or column SQLite complains about (a
// missing table reads "シート「tmp」がありません") and SQLite's own message.
WorkbookError StatementError(const std::filesystem::path& file, std::string_view message);

// ErrorNumber::Statement for a statement refused for `reason`.
WorkbookError StatementRefused(const std::filesystem::path& file, std::string_view reason);

} // namespace tomorine
