#pragma once

#include "search/search_texts.h"

#include <string_view>

namespace tomorine {

class Recordset;

// Tests the current row against the five texts: an empty text matches at
// once, otherwise every word must occur in the field's joined chunks
// (read-back rule applied except for the URL). All five are read, in the
// order URL, title, subtitle, keywords, comment, so a missing column raises
// the recordset's error whatever the others give.
bool MatchSearchFields(const Recordset& row, const SearchTexts& texts);

} // namespace tomorine
