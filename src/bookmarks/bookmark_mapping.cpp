#include "bookmarks/bookmark_mapping.h"

#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"

#include <array>

namespace tomorine {

namespace {

size_t Capacity(FieldGroup group) {
    return static_cast<size_t>(LayoutOf(group).chunks) * ChunkSize;
}

// The text as the group's columns keep it: whole characters up to the cap.
std::u16string Fitted(std::u16string text, FieldGroup group, bool& cut) {
    std::u16string kept;
    for (const std::u16string& chunk : SplitChunks(text, LayoutOf(group).chunks)) {
        kept += chunk;
    }
    if (kept.size() != text.size()) {
        cut = true;
    }
    return kept;
}

} // namespace

bool IsImportableUrl(std::string_view url) {
    const size_t colon = url.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::string scheme = AsciiLower(url.substr(0, colon));
    static constexpr std::array<std::string_view, 4> kSchemes{"http", "https", "ftp", "file"};
    for (std::string_view known : kSchemes) {
        if (scheme == known) {
            return true;
        }
    }
    return false;
}

std::u16string KeywordsOfTags(const std::vector<std::string>& tags) {
    std::u16string keywords;
    for (const std::string& tag : tags) {
        std::u16string word = FromUtf8(tag);
        for (char16_t& c : word) {
            if (c == u' ') {
                c = u'\u00A0'; // no word delimiter, so the tag stays one keyword
            }
        }
        if (!word.empty()) {
            keywords += (keywords.empty() ? u"" : u" ") + word;
        }
    }
    return keywords;
}

std::optional<Entry> EntryOfBookmark(const BrowserBookmark& bookmark, bool& cut) {
    if (!IsImportableUrl(bookmark.url)) {
        return std::nullopt;
    }
    Entry entry;
    entry.url = FromUtf8(bookmark.url);
    if (entry.url.size() > Capacity(FieldGroup::Url)) {
        return std::nullopt;
    }
    entry.title = Fitted(FromUtf8(bookmark.title.empty() ? bookmark.url : bookmark.title),
                         FieldGroup::Title, cut);
    entry.subtitle = Fitted(FromUtf8(bookmark.folder), FieldGroup::Subtitle, cut);
    entry.keywords = Fitted(KeywordsOfTags(bookmark.tags), FieldGroup::Keywords, cut);
    entry.comment = Fitted(FromUtf8(bookmark.description), FieldGroup::Comment, cut);
    return entry;
}

} // namespace tomorine
