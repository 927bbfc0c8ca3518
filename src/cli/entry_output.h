#pragma once

#include "store/entry.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tomorine::cli {

// {"hits": [{"serial": 7, "url": "...", "title": "...", "subtitle": "...",
// "keywords": "...", "comment": "..."}]} on one line.
void WriteHitsJson(std::ostream& out, const std::vector<Entry>& hits);
// One hit's object, appended to `out`.
void AppendHitJson(std::string& out, const Entry& entry);

// The five texts, one "label: text" line each, labelled as the main window
// labels its fields.
void WriteEntryFields(std::ostream& out, const Entry& entry);

} // namespace tomorine::cli
