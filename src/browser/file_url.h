#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

// The URIs of a text/uri-list (RFC 2483): one a line, CR LF or LF, lines
// starting with "#" are comments, blank lines are skipped.
std::vector<std::string> ParseUriList(std::string_view uriList);

// The local path of a file URL ("file:///a/b%20c", "file://localhost/a"),
// percent-escapes undone to the file name's bytes. Nothing for other URLs,
// for a file URL naming another host, and for an escape that gives NUL.
std::optional<std::filesystem::path> FileUrlToPath(std::string_view url);

} // namespace tomorine
