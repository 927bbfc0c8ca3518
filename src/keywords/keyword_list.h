#pragma once

#include "store/workbook/workbook.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tomorine {

// One line of the keyword list and its zero-based position in the list.
struct KeywordLine {
    std::u16string keyword;
    long position = 0;
};

// The distinct words of every live entry's keywords, in the order of their
// UTF-8 bytes (as the table interface sorts texts). `file` names the
// workbook in errors.
std::vector<KeywordLine> CollectKeywords(std::shared_ptr<const Workbook> book,
                                         const std::filesystem::path& file);

// The whole keyword list of a data file: a keyword sheet left in the file by
// an older run is removed (one atomic save); the file is otherwise neither
// written nor changed. Throws WorkbookError when the file cannot be read.
std::vector<KeywordLine> ListKeywords(const std::filesystem::path& dataFile);

} // namespace tomorine
