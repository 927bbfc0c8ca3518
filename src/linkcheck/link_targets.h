#pragma once

#include "store/workbook/cell.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

class Recordset;

// One live entry as the check sees it.
struct LinkTarget {
    long position = 0; // zero-based row of the result recordset
    std::int32_t serial = 0;
    std::u16string title;    // the title chunks with the read-back rule
    std::u16string url;      // the URL chunks joined as stored
    std::vector<Cell> cells; // every entry column as read, in sheet order
};

// Every row of the recordset, from its first to its end. Throws
// WorkbookError when a column is missing.
std::vector<LinkTarget> ReadLinkTargets(Recordset& rows);
// Every live entry of a data file, read through a connection of its own.
std::vector<LinkTarget> ReadLinkTargets(const std::filesystem::path& dataFile);
// The URLs as UTF-8, in the same order.
std::vector<std::string> UrlsOf(const std::vector<LinkTarget>& targets);

// "[開始]:[3]:<7>:title": the row that is being checked (its position, serial
// and title).
std::u16string StartStatusText(const LinkTarget& target);

} // namespace tomorine
