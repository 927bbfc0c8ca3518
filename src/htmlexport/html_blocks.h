#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tomorine {

class Recordset;

// The page is written as the header block, one entry block per entry and
// the footer block; every line ends in CR LF, and a block adds nothing after
// its last line.

// The HTML 4.01 Transitional head, the styles of the entry boxes, the
// heading and the opening of the outer table. The mail address of the
// author link is left empty ("mailto:").
std::u16string_view HtmlHeaderBlock();
// Closes the outer table, the body and the page.
std::u16string_view HtmlFooterBlock();

// The texts of one entry as they go into its block.
struct HtmlEntryTexts {
    std::optional<std::u16string> linkTarget; // safe in a double-quoted attribute; none: no link
    std::u16string title;                     // display text
    std::optional<std::u16string> subtitle;   // none: every subtitle column is Null
    std::optional<std::u16string> comment; // none: every comment column is Null, or not asked for
};

// The texts of the recordset's current row: the URL chunks joined as stored
// (a link only for a link target),
// the other groups with trailing tabs of each chunk as spaces, then
// converted for display. Keywords are never read. The comment is read only
// when `withComment` is set.
HtmlEntryTexts ReadHtmlEntryTexts(const Recordset& row, bool withComment);

// The entry's box: the link row (the title alone without a link), then the subtitle row and, with
// comments, the comment row; then the empty spacer table and an empty line. A group that is all
// Null gets "<br>" as its cell.
void AppendHtmlEntryBlock(const HtmlEntryTexts& entry, bool withComment, std::u16string& out);

} // namespace tomorine
