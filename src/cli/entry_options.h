#pragma once

#include "cli/command_options.h"
#include "search/search_texts.h"
#include "store/entry.h"

#include <string_view>
#include <vector>

namespace tomorine::cli {

// The five texts of an entry or a search, in the order URL, title,
// subtitle, keywords, comment.
const std::vector<std::string_view>& FieldOptions();

SearchTexts SearchTextsOf(const ParsedArgs& args);

// Replaces the texts given on the command line and keeps the others.
void ApplyGivenFields(const ParsedArgs& args, Entry& entry);

// An entry may be written only with a URL and a title; a text of spaces counts.
bool HasRequiredFields(const Entry& entry);

} // namespace tomorine::cli
