#pragma once

#include "store/entry.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tomorine::cli {

// {"hits": [{"serial": 7, "url": "...", "title": "...", "subtitle": "...",
// "keywords": "...", "comment": "..."}]} on one line, the `count` hits read
// one at a time and written out in pieces, so that no copy of every entry is
// held at once.
void WriteHitsJson(std::ostream& out, std::size_t count,
                   const std::function<Entry(std::size_t)>& hit);

// The five texts, one "label: text" line each, labelled as the main window
// labels its fields.
void WriteEntryFields(std::ostream& out, const Entry& entry);

} // namespace tomorine::cli
