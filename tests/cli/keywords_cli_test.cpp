// tomorine-cli keywords run as a program on data files built at run time.
#include "cli_process.h"
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/table/connection.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

// tomorine-cli keywords ARGS with a program folder of its own.
CliOutcome RunKeywords(const TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), "keywords");
    return RunCliProcess({args, dir / "home"});
}

void WriteEntries(const fs::path& path, const std::vector<std::u16string>& keywords) {
    Connection connection(path, NewDataWorkbook());
    std::int32_t serial = 0;
    for (const std::u16string& k : keywords) {
        ++serial;
        connection.execute(
            BuildInsertStatement(serial, {serial, u"http://a.jp/", u"t", {}, k, {}}));
    }
    connection.close();
}

TEST(KeywordsCommand, PrintsOneKeywordALineAndTheCount) {
    TempDir dir;
    const fs::path data = dir / "データ.xls";
    WriteEntries(data, {u"news sports", u"sports　weather it's"});
    const std::vector<std::uint8_t> before = ReadBytes(data);
    CliOutcome run = RunKeywords(dir, {"--data", data.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "it's\nnews\nsports\nweather\n4件 ヒットしました\n");
    EXPECT_EQ(run.err, "");
    run = RunKeywords(dir, {"--data", data.string(), "--json"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"keywords\": [\"it's\", \"news\", \"sports\", \"weather\"]}\n");
    EXPECT_EQ(ReadBytes(data), before);
}

TEST(KeywordsCommand, NoKeywordsIsNoFailure) {
    TempDir dir;
    WriteEntries(dir / "d.xls", {u"", u"　"});
    CliOutcome run = RunKeywords(dir, {"--data", (dir / "d.xls").string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0件 ヒットしました\n");
    run = RunKeywords(dir, {"--data", (dir / "d.xls").string(), "--json"});
    EXPECT_EQ(run.out, "{\"keywords\": []}\n");
}

} // namespace
} // namespace tomorine::test
