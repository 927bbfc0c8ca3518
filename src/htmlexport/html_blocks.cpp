#include "htmlexport/html_blocks.h"

#include "htmlexport/html_text.h"
#include "store/entry.h"
#include "store/link_scheme.h"
#include "store/table/recordset.h"

namespace tomorine {

namespace {

constexpr std::u16string_view kHeader =
    u"<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
    u"\"http://www.w3.org/TR/html4/loose.dtd\">\r\n"
    u"<html lang=\"ja\">\r\n"
    u"\r\n"
    u"<head>\r\n"
    u"<meta http-equiv=\"Content-Style-Type\" content=\"text/css\">\r\n"
    u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">\r\n"
    u"<link rel=\"INDEX\"  href=\"index.html\">\r\n"
    u"<link rev=\"MADE\" href=\"mailto:\">\r\n"
    u"<style type=\"text/css\">\r\n"
    u"<!--\r\n"
    u"\t.boxstyle00000 { text-align:left; border-style:solid; border-color:#000000; "
    u"border-width:2px 2px 0px 2px; width:100%; }\r\n"
    u"\t.boxstyle00001 { text-align:left; border-style:solid; border-color:#000000; "
    u"border-width:1.5px 2px 0px 2px; width:100%; }\r\n"
    u"\t.boxstyle00002 { text-align:left; border-style:solid; border-color:#000000; "
    u"border-width:1.5px 2px 2px 2px; width:100%; }\r\n"
    u"-->\r\n"
    u"</style>\r\n"
    u"<title>お気に入りリスト</title></head>\r\n"
    u"<body>\r\n"
    u"<br><strong>お気に入りリスト</strong><br>\r\n"
    u"<Table border=\"0\" cellspacing=\"0\" cellpadding=\"0\" summary=\"外枠\">\r\n"
    u"<tr><td>\r\n";

constexpr std::u16string_view kFooter = u"</td></tr>\r\n"
                                        u"</Table>\r\n"
                                        u"</body>\r\n"
                                        u"</html>\r\n";

constexpr std::u16string_view kBoxOpen =
    u"\t<Table border=\"0\" cellspacing=\"0\" cellpadding=\"3\" "
    u"style=\"width:100%\" summary=\"内容枠\">\r\n";
constexpr std::u16string_view kLinkRowOpen = u"\t<tr><td class=\"boxstyle00000\">";
constexpr std::u16string_view kMiddleRowOpen = u"\t<tr><td class=\"boxstyle00001\">";
constexpr std::u16string_view kBottomRowOpen = u"\t<tr><td class=\"boxstyle00002\">";
constexpr std::u16string_view kCellClose = u"</td></tr>\r\n";
constexpr std::u16string_view kNullCell = u"<br></td></tr>\r\n";
constexpr std::u16string_view kBoxClose = u"\t</Table>\r\n"
                                          u"\t<Table summary=\"空枠\">\r\n"
                                          u"\t<tr><td><br></td></tr>\r\n"
                                          u"\t</Table>\r\n"
                                          u"\r\n";

// A group's non-Null columns joined (trailing tabs of each chunk as spaces
// where the group has that rule); none when every column is Null.
std::optional<std::u16string> JoinGroup(const Recordset& row, FieldGroup group) {
    const FieldLayout& layout = LayoutOf(group);
    const std::vector<std::u16string>& names = EntryColumnNames();
    std::optional<std::u16string> text;
    for (int i = 0; i < layout.chunks; ++i) {
        const Cell& value = row.field(names[layout.firstColumn - 1 + i]);
        if (value.isEmpty()) {
            continue;
        }
        if (!text) {
            text.emplace();
        }
        *text += layout.readBackRule ? TrailingTabsToSpaces(CellToText(value)) : CellToText(value);
    }
    return text;
}

std::optional<std::u16string> DisplayGroup(const Recordset& row, FieldGroup group) {
    std::optional<std::u16string> text = JoinGroup(row, group);
    if (text) {
        *text = DisplayText(*text);
    }
    return text;
}

void AppendCell(const std::optional<std::u16string>& text, std::u16string& out) {
    if (text) {
        out += *text;
        out += kCellClose;
    } else {
        out += kNullCell;
    }
}

} // namespace

std::u16string_view HtmlHeaderBlock() {
    return kHeader;
}

std::u16string_view HtmlFooterBlock() {
    return kFooter;
}

HtmlEntryTexts ReadHtmlEntryTexts(const Recordset& row, bool withComment) {
    HtmlEntryTexts texts;
    const std::u16string url = JoinGroup(row, FieldGroup::Url).value_or(u"");
    if (IsLinkTarget(url)) {
        texts.linkTarget = EscapeLinkTarget(url);
    }
    texts.title = DisplayText(JoinGroup(row, FieldGroup::Title).value_or(u""));
    texts.subtitle = DisplayGroup(row, FieldGroup::Subtitle);
    if (withComment) {
        texts.comment = DisplayGroup(row, FieldGroup::Comment);
    }
    return texts;
}

void AppendHtmlEntryBlock(const HtmlEntryTexts& entry, bool withComment, std::u16string& out) {
    out += kBoxOpen;
    out += kLinkRowOpen;
    if (entry.linkTarget) {
        out += u"<a href=\"";
        out += *entry.linkTarget;
        out += u"\">";
        out += entry.title;
        out += u"</a>";
    } else {
        out += entry.title;
    }
    out += kCellClose;
    if (withComment) {
        out += kMiddleRowOpen;
        AppendCell(entry.subtitle, out);
        out += kBottomRowOpen;
        AppendCell(entry.comment, out);
    } else {
        out += kBottomRowOpen;
        AppendCell(entry.subtitle, out);
    }
    out += kBoxClose;
}

} // namespace tomorine
