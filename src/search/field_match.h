#pragma once

#include "search/search_texts.h"

#include <string_view>

namespace tomorine {

class Recordset;

// Each tests the current row of `row` against one search text: true at once
// for an empty text, otherwise every word must occur in the field's joined
// chunks (read-back rule applied except for the URL). A missing column
// raises the recordset's error.
bool MatchUrlField(const Recordset& row, std::u16string_view searchText);
bool MatchTitleField(const Recordset& row, std::u16string_view searchText);
bool MatchSubtitleField(const Recordset& row, std::u16string_view searchText);
bool MatchKeywordField(const Recordset& row, std::u16string_view searchText);
bool MatchCommentField(const Recordset& row, std::u16string_view searchText);

// All five, always all five called, in the order URL, title, subtitle,
// keywords, comment. The main window passes its fields; a re-run passes the
// texts saved by the last search.
bool MatchSearchFields(const Recordset& row, const SearchTexts& texts);

} // namespace tomorine
