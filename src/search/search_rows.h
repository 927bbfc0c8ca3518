#pragma once

#include "store/table/recordset.h"
#include "store/workbook/workbook.h"

#include <filesystem>
#include <memory>
#include <string_view>

namespace tomorine {

// The rows a search lists from: every live entry, and when a URL is given
// only the entries whose 16 URL chunks equal its chunks exactly (an empty
// chunk as no value), as this version cuts them or, for a URL that earlier
// versions cut inside a character, as they did. Words of the five texts are
// tested afterwards, row by row (ListMatchingRows).
Recordset SearchRows(std::shared_ptr<const Workbook> book, const std::filesystem::path& file,
                     std::u16string_view urlText);
// The same on the data file as it is now (a kept copy when unchanged).
Recordset SearchRows(const std::filesystem::path& dataFile, std::u16string_view urlText);

} // namespace tomorine
