#include "bookmarks/netscape_writer.h"

#include "bookmarks/html_entities.h"
#include "search/field_match.h"
#include "search/search_rows.h"
#include "store/files/atomic_file.h"
#include "store/link_scheme.h"
#include "store/workbook/utf.h"

#include <algorithm>
#include <span>

namespace tomorine {

namespace {

constexpr std::string_view kHeader =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
    "<!-- This is an automatically generated file.\n"
    "     It will be read and overwritten.\n"
    "     DO NOT EDIT! -->\n"
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
    "<TITLE>Bookmarks</TITLE>\n"
    "<H1>Bookmarks</H1>\n"
    "<DL><p>\n";

std::string TagsOf(std::u16string_view keywords) {
    std::string tags;
    size_t start = 0;
    while (start <= keywords.size()) {
        const size_t end = std::min(keywords.find(u' ', start), keywords.size());
        std::u16string word(keywords.substr(start, end - start));
        std::replace(word.begin(), word.end(), u',', u'\uFF0C');
        std::replace(word.begin(), word.end(), u'\u00A0', u' '); // a tag's space, as imported
        if (!word.empty()) {
            tags += (tags.empty() ? "" : ",") + ToUtf8(word);
        }
        start = end + 1;
    }
    return tags;
}

} // namespace

std::string NetscapeBookmarkHtml(const std::vector<Entry>& entries) {
    std::string html(kHeader);
    for (const Entry& entry : entries) {
        if (IsLinkTarget(entry.url)) {
            html += "    <DT><A HREF=\"" + EscapeHtml(ToUtf8(entry.url)) + "\"";
            const std::string tags = TagsOf(entry.keywords);
            if (!tags.empty()) {
                html += " TAGS=\"" + EscapeHtml(tags) + "\"";
            }
            html += ">" + EscapeHtml(ToUtf8(entry.title)) + "</A>\n";
        } else {
            html += "    <DT>" + EscapeHtml(ToUtf8(entry.title)) + "\n";
        }
        if (!entry.comment.empty()) {
            html += "    <DD>" + EscapeHtml(ToUtf8(entry.comment)) + "\n";
        }
    }
    html += "</DL><p>\n";
    return html;
}

void WriteNetscapeBookmarks(const std::vector<Entry>& entries, const std::filesystem::path& file) {
    const std::string html = NetscapeBookmarkHtml(entries);
    WriteFileAtomically(file,
                        std::span(reinterpret_cast<const std::uint8_t*>(html.data()), html.size()));
}

std::vector<Entry> SearchedEntries(const std::filesystem::path& dataFile,
                                   std::u16string_view selectUrl, const SearchTexts& texts) {
    Recordset rows = SearchRows(dataFile, selectUrl);
    std::vector<Entry> entries;
    for (; !rows.eof(); rows.moveNext()) {
        if (MatchSearchFields(rows, texts)) {
            entries.push_back(ReadEntry(rows));
        }
    }
    return entries;
}

} // namespace tomorine
