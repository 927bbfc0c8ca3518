#include "search/field_match.h"

#include "search/contains_all_words.h"
#include "store/entry.h"

namespace tomorine {

namespace {

bool MatchField(const Recordset& row, FieldGroup group, std::u16string_view searchText) {
    if (searchText.empty()) {
        return true;
    }
    return ContainsAllWords(JoinField(row, group), std::u16string(searchText));
}

} // namespace

bool MatchSearchFields(const Recordset& row, const SearchTexts& texts) {
    bool all = true;
    for (const auto& [group, text] : {std::pair{FieldGroup::Url, &texts.url},
                                      {FieldGroup::Title, &texts.title},
                                      {FieldGroup::Subtitle, &texts.subtitle},
                                      {FieldGroup::Keywords, &texts.keywords},
                                      {FieldGroup::Comment, &texts.comment}}) {
        all = MatchField(row, group, *text) && all;
    }
    return all;
}

} // namespace tomorine
