// tomorine-cli export-html, called in process: the search of the given
// fields, then the page of its hits.
#include "cli/command_options.h"
#include "cli/commands.h"
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/settings/cp932.h"
#include "store/table/connection.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

struct CliResult {
    int status = -1;
    std::string out, err;
};

CliResult ExportHtml(std::vector<std::string> args) {
    std::ostringstream out, err;
    std::istringstream in;
    const int status = cli::ExportHtmlCommand(cli::Invocation{std::move(args), out, err, in});
    return {status, out.str(), err.str()};
}

std::string PageText(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return Cp932ToUtf8(std::string(bytes.begin(), bytes.end()));
}

struct DataFile {
    TempDir dir;
    fs::path data = dir / "bm.xls";
    fs::path page = dir / "一覧.htm";

    DataFile() {
        Connection connection(data, NewDataWorkbook());
        const Entry entries[] = {{1, u"http://a.jp/?x=1&y=2", u"りんご", u"", u"果物", u"赤い"},
                                 {2, u"http://b.jp/", u"みかん", u"冬", u"", u""},
                                 {3, u"http://c.jp/", u"りんご飴", u"", u"", u"祭り"}};
        for (const Entry& e : entries) {
            connection.execute(BuildInsertStatement(e.serial, e));
        }
        connection.close();
    }
};

TEST(ExportHtml, WritesTheHitsOfTheSearchAndSaysHowMany) {
    DataFile f;
    CliResult run = ExportHtml({"--data", f.data.string(), f.page.string(), "--title", "りんご"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "2件 出力しました\n");
    EXPECT_EQ(run.err, "");
    std::string page = PageText(f.page);
    EXPECT_NE(page.find("<a href=\"http://a.jp/?x=1&amp;y=2\">りんご</a>"), std::string::npos);
    EXPECT_NE(page.find("りんご飴"), std::string::npos);
    EXPECT_EQ(page.find("みかん"), std::string::npos);
    EXPECT_EQ(page.find("赤い"), std::string::npos) << "comments only when asked for";

    run = ExportHtml({"--data", f.data.string(), "--comments", f.page.string()});
    EXPECT_EQ(run.out, "3件 出力しました\n");
    page = PageText(f.page);
    EXPECT_NE(page.find(">赤い</td>"), std::string::npos);
    EXPECT_NE(page.find(">祭り</td>"), std::string::npos);
}

// A URL that no entry has: the statement returns no rows, nothing is
// written and an earlier page stays.
TEST(ExportHtml, NoDataLeavesAnEarlierPage) {
    DataFile f;
    WriteBytes(f.page, {'o', 'l', 'd'});
    CliResult run =
        ExportHtml({"--data", f.data.string(), f.page.string(), "--url", "http://z.jp/"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0件 出力しました\n");
    EXPECT_EQ(run.err, "データがありません\n");
    EXPECT_EQ(ReadBytes(f.page), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

} // namespace
} // namespace tomorine::test
