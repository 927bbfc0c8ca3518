#pragma once

#include "search/search_texts.h"
#include "store/entry.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tomorine {

// The entries as a Netscape bookmark file in UTF-8, one list in their order:
// the title as the link text, the keywords as TAGS (split at half-width
// spaces; a comma inside a keyword becomes a full-width one, as a comma
// separates tags), the comment as <DD>. Every text is escaped.
std::string NetscapeBookmarkHtml(const std::vector<Entry>& entries);

// Writes that file atomically: an existing file is replaced only by a
// complete new one. Throws WorkbookError naming the file.
void WriteNetscapeBookmarks(const std::vector<Entry>& entries, const std::filesystem::path& file);

// The live entries of the data file that match the search texts, as a search
// lists them, among the rows `selectUrl` selects (the texts' own URL, or the
// last search's). Throws WorkbookError naming the data file.
std::vector<Entry> SearchedEntries(const std::filesystem::path& dataFile,
                                   std::u16string_view selectUrl, const SearchTexts& texts);

} // namespace tomorine
