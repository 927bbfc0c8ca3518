// The text rules of the page (full width, the two escapes, CP932 with references for what it cannot
// hold) and its entry rows byte for byte, read back through glibc's CP932 decoder; the export of
// the last search on workbook files, whose failures leave an existing page as it was.
#include "htmlexport/cp932_references.h"
#include "htmlexport/html_list_writer.h"
#include "htmlexport/html_page_writer.h"
#include "htmlexport/html_text.h"
#include "search/full_width.h"
#include "store/data_connection.h"
#include "store/entry.h"
#include "store/settings/cp932.h"
#include "store/table/recordset.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "support/entry_rows.h"
#include "support/hostile_files.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>

namespace tomorine::test {
namespace {

// Cp932: the bytes as glibc's CP932 decoder reads them back.
TEST(HtmlText, FullWidthEscapesAndCp932References) {
    const auto cp932 = [](std::u16string_view in) {
        std::string bytes;
        AppendCp932WithReferences(in, bytes);
        return FromUtf8(Cp932ToUtf8(bytes));
    };
    const struct {
        std::u16string (*rule)(std::u16string_view);
        std::u16string in, out;
    } cases[] = {
        {ToFullWidth, u"a b\t<!~\"'&\\>", u"ａ\u3000ｂ\t＜！～＂＇＆＼＞"},
        {ToFullWidth, u"ｶﾞｷﾞﾊﾟｳﾞｱﾝｰ｡｢｣､･", u"ガギパヴアンー。「」、・"},
        {ToFullWidth, u"ｯﾞﾅﾞﾟﾞ¥¬￩日本😀𠮷", u"ッ゛ナ゛゜゛￥￢←日本😀𠮷"},
        {EscapeAmpersands, u"a?b=1&c=2&amp;\"<>", u"a?b=1&amp;c=2&amp;amp;\"<>"},
        {EscapeLinkTarget, u"?q=1&r=\"><script>", u"?q=1&amp;r=&quot;&gt;&lt;script&gt;"},
        {EscapeLinkTarget, u"javascript:x\r\n 日本", u"javascript:x\r\n 日本"},
        // Converted before the escape: "&" shows as "＆", never as "&amp;amp;".
        {DisplayText, u"A&B&amp;<a href=\"x\">", u"Ａ＆Ｂ＆ａｍｐ；＜ａ\u3000ｈｒｅｆ＝＂ｘ＂＞"},
        {cp932, u"ascii <&> \\~\r\n\tお気に入り・ｶﾅ・①・髙",
         u"ascii <&> \\~\r\n\tお気に入り・ｶﾅ・①・髙"},
        {cp932, u"😀𠮷野家", u"&#128512;&#134071;野家"},
        {cp932, u"−€¥\x80", u"&#8722;&#8364;&#165;&#128;"}, // "−" would read back as "－"
        {cp932, std::u16string(1, u'\xD842') + u"x" + std::u16string(1, u'\xDFB7'),
         u"&#65533;x&#65533;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rule(c.in), c.out) << ToUtf8(c.in);
    }
}

// The head is the writer's constant; the charset it declares is what matters.
const std::string kCharset =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">\r\n";

TEST(PageBytes, EntryRows) {
    // An entry's texts, and its rows from the title's cell on.
    const std::pair<Texts, std::string> cases[] = {
        {{{u"URL1", u"a.htm"}, {u"タイトル1", u"Top"}, {u"コメント1", u"note"}},
         "<a href=\"a.htm\">Ｔｏｐ</a></td></tr>\r\n"
         "\t<tr><td class=\"boxstyle00001\"><br></td></tr>\r\n"
         "\t<tr><td class=\"boxstyle00002\">ｎｏｔｅ</td></tr>\r\n\t</Table>"},
        // A Null column adds nothing; a non-Null empty one makes an empty cell, not "<br>"; URL
        // chunks join as stored, other chunks' trailing tabs become spaces.
        {{{u"URL1", u"http://a.jp/?x=1"},
          {u"URL3", u"&y=\t"},
          {u"タイトル2", u"題\t\t"},
          {u"タイトル3", u"名"},
          {u"サブタイトル4", u""},
          {u"コメント2", u"ｺﾒﾝﾄ\r\n2行"},
          {u"キーワード1", u"秘密のキーワード"}},
         "<a href=\"http://a.jp/?x=1&amp;y=\t\">題\u3000\u3000名</a></td></tr>\r\n"
         "\t<tr><td class=\"boxstyle00001\"></td></tr>\r\n"
         "\t<tr><td class=\"boxstyle00002\">コメント\r\n２行</td></tr>\r\n\t</Table>"},
        {{{u"URL1", u" java\tscript:alert(1)"}, {u"タイトル1", u"題"}}, // no link to run
         "題</td></tr>\r\n\t<tr><td class=\"boxstyle00001\"><br></td></tr>\r\n"
         "\t<tr><td class=\"boxstyle00002\"><br></td></tr>\r\n\t</Table>"},
    };
    for (const auto& [texts, block] : cases) {
        const auto row = std::make_shared<const Sheet::Row>(EntryRow(1, texts));
        Recordset rows(EntryColumnNames(), row, {row.get()});
        TempDir dir;
        EXPECT_EQ(WriteHtmlPage(rows, {}, true, dir / "list.htm"), 1);
        const std::string page = Cp932ToUtf8(ReadText(dir / "list.htm"));
        EXPECT_NE(page.find(kCharset), std::string::npos) << page;
        EXPECT_NE(page.find("<tr><td class=\"boxstyle00000\">" + block), std::string::npos) << page;
    }
}

namespace fs = std::filesystem;

const std::vector<std::uint8_t> kOldPage{'o', 'l', 'd'};

struct Export {
    TempDir dir;
    fs::path dataFile = dir / "data.xls";
    HtmlListRequest request;

    explicit Export(const std::vector<Entry>& entries) {
        request.searchUrl = u"";
        request.outputPath = dir / "out" / "list.htm";
        WriteEntries(dataFile, entries);
        fs::create_directory(dir / "out");
        WriteBytes(request.outputPath, kOldPage);
    }
    HtmlListResult run() { return WriteHtmlList(dataFile, request); }
};

TEST(HtmlList, NoRowsWriteNothing) {
    Export e({Entry{1, u"http://a.jp/", u"A", u"", u"", u""}});
    e.request.searchUrl = u"http://nowhere.jp/";
    EXPECT_TRUE(e.run().noData);
    EXPECT_EQ(ReadBytes(e.request.outputPath), kOldPage);
}

// Each failure names the file and leaves every file as it was.
TEST(FailedExport, LeavesTheOldPageAsItWas) {
    const struct {
        WorkbookFault number;
        const char* named;
        std::function<void(Export&)> arrange;
    } cases[] = {
        {WorkbookFault::PathNotFound, "missing",
         [](Export& e) { e.request.outputPath = e.dir / "missing" / "list.htm"; }},
        {WorkbookFault::FileAccess, "list.htm",
         [](Export& e) {
             fs::remove(e.request.outputPath);
             fs::create_directory(e.request.outputPath);
             WriteBytes(e.request.outputPath / "inside", kOldPage);
         }},
        {WorkbookFault::FileAccess, "list.htm", nullptr}, // the small disk
        {WorkbookFault::FileNotFound, "gone.xls",
         [](Export& e) { e.dataFile = e.dir / "gone.xls"; }},
    };
    std::vector<Entry> many;
    for (int i = 1; i <= 300; ++i) {
        many.push_back({i, u"http://example.jp/" + std::u16string(100, u'p'),
                        std::u16string(100, u't'), u"", u"", std::u16string(400, u'c')});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        Export e(many);
        e.request.commentOutput = true;
        if (c.arrange) {
            c.arrange(e);
        }
        const std::set<std::string> before = Listing(e.dir.path());
        try {
            const auto disk = c.arrange ? std::nullopt : std::make_optional<SmallDisk>();
            e.run();
            ADD_FAILURE() << "the export was reported as done";
        } catch (const WorkbookError& error) {
            EXPECT_EQ(error.fault(), c.number) << error.description();
            EXPECT_NE(std::string(error.description()).find(c.named), std::string::npos)
                << error.description();
        }
        EXPECT_EQ(Listing(e.dir.path()), before); // the old page's bytes too
    }
}

} // namespace
} // namespace tomorine::test
