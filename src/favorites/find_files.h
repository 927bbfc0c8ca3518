#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace tomorine {

// Wildcard match over characters: "*" any run, "?" one character, every
// other character itself.
bool MatchesWildcard(std::u16string_view name, std::u16string_view pattern);

// The files of `folder` and of every folder below it whose name in lower case
// matches `pattern` in lower case, depth first: a folder's own files, then
// each subfolder with everything below it. Within a folder names come in
// order without letter case, so that new entries get their serials in the
// order a user sees the favorites listed; Linux lists them in no useful order.
// Each folder is walked once, however many links lead to it; paths of any
// length and folders of any depth are walked. A subfolder that cannot be read
// is counted and passed over; throws WorkbookError naming `folder` when it
// cannot be read itself.
struct FoundFiles {
    std::vector<std::filesystem::path> files;
    int unreadableFolders = 0;
};
FoundFiles FindFiles(const std::filesystem::path& folder, std::u16string_view pattern);

} // namespace tomorine
