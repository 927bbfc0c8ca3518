#include "bookmarks/bookmark_mapping.h"

#include "store/link_scheme.h"
#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"

#include <algorithm>

namespace tomorine {

namespace {

size_t Capacity(FieldGroup group) {
    return static_cast<size_t>(LayoutOf(group).chunks) * ChunkSize;
}

// The text as the group's columns keep it: whole characters up to the cap.
std::u16string Fitted(std::u16string text, FieldGroup group, bool& cut) {
    std::u16string kept = FittedText(text, group);
    if (kept.size() != text.size()) {
        cut = true;
    }
    return kept;
}

// The tags as keywords: separated by a half-width space, a space inside a
// tag a no-break space, which no search or keyword list splits at.
std::u16string KeywordsOfTags(const std::vector<std::string>& tags) {
    std::u16string keywords;
    for (const std::string& tag : tags) {
        std::u16string word = FromUtf8(tag);
        std::replace(word.begin(), word.end(), u' ', u'\u00A0');
        if (!word.empty()) {
            keywords += (keywords.empty() ? u"" : u" ") + word;
        }
    }
    return keywords;
}

} // namespace

std::optional<Entry> EntryOfBookmark(const BrowserBookmark& bookmark, bool& cut) {
    Entry entry;
    entry.url = FromUtf8(bookmark.url);
    if (!HasLinkScheme(entry.url) || entry.url.size() > Capacity(FieldGroup::Url)) {
        return std::nullopt;
    }
    entry.title = Fitted(FromUtf8(bookmark.title.empty() ? bookmark.url : bookmark.title),
                         FieldGroup::Title, cut);
    entry.subtitle = Fitted(FromUtf8(bookmark.folder.path()), FieldGroup::Subtitle, cut);
    entry.keywords = Fitted(KeywordsOfTags(bookmark.tags), FieldGroup::Keywords, cut);
    entry.comment = Fitted(FromUtf8(bookmark.description), FieldGroup::Comment, cut);
    return entry;
}

} // namespace tomorine
