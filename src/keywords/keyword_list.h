#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tomorine {

class Connection;

// One line of the keyword list and the zero-based position of its row in
// the distinct statement's result (a Null row counts but is not listed).
struct KeywordLine {
    std::u16string keyword;
    long position = 0;
};

// Fills the keyword sheet of the connection's workbook with the words of
// every live entry's keywords and reads back the distinct keywords in the
// table interface's ascending order, Null left out. More distinct keywords
// than the work sheet has rows is a WorkbookError.
std::vector<KeywordLine> CollectKeywords(Connection& connection);

// The whole keyword list of a data file: a keyword sheet left in the file by
// an older run is removed (one atomic save), the list is made on a copy in
// memory and the file is otherwise neither written nor changed. Throws
// WorkbookError when the file cannot be read or a statement fails.
std::vector<KeywordLine> ListKeywords(const std::filesystem::path& dataFile);

} // namespace tomorine
