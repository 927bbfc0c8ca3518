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

bool MatchUrlField(const Recordset& row, std::u16string_view searchText) {
    return MatchField(row, FieldGroup::Url, searchText);
}

bool MatchTitleField(const Recordset& row, std::u16string_view searchText) {
    return MatchField(row, FieldGroup::Title, searchText);
}

bool MatchSubtitleField(const Recordset& row, std::u16string_view searchText) {
    return MatchField(row, FieldGroup::Subtitle, searchText);
}

bool MatchKeywordField(const Recordset& row, std::u16string_view searchText) {
    return MatchField(row, FieldGroup::Keywords, searchText);
}

bool MatchCommentField(const Recordset& row, std::u16string_view searchText) {
    return MatchField(row, FieldGroup::Comment, searchText);
}

bool MatchSearchFields(const Recordset& row, const SearchTexts& texts) {
    bool url = MatchUrlField(row, texts.url);
    bool title = MatchTitleField(row, texts.title);
    bool subtitle = MatchSubtitleField(row, texts.subtitle);
    bool keywords = MatchKeywordField(row, texts.keywords);
    bool comment = MatchCommentField(row, texts.comment);
    return url && title && subtitle && keywords && comment;
}

} // namespace tomorine
