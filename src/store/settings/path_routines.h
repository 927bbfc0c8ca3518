#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// Path texts as the user sees them (UTF-8, "/" between folders).

// The text up to and including the last "/"; empty when there is none.
std::string GetFolderPart(std::string_view path);

struct FilePathParts {
    std::string folder;   // with its trailing "/"
    std::string fileName; // empty when the path ends in "/"
};

// Splits at the last "/". Both parts are empty when the path has no "/", or
// has only one and the text before it is not "." or "..": a file in the root
// folder ("/x.xls") and "dir/x.xls" give two empty parts, "./x.xls" and
// "../x.xls" are split. Callers rely on this rule.
FilePathParts SplitFilePath(std::string_view path);

// The absolute, lexically normal form against the current folder; the file
// need not exist. An empty text stays empty: it names no file, and the
// current folder in its place would name a folder as the data file.
std::string GetAbsolutePath(std::string_view path);

} // namespace tomorine
