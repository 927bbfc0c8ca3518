// dump against xlrd's reading of the same corpus files, and the broken ones.
#include "cli/cli_harness.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

using nlohmann::json;

// The sheets' names and cells; xlrd calls numbers shown as dates "date".
json Sheets(const json& dump) {
    json sheets = json::array();
    for (const json& sheet : dump.at("sheets")) {
        json cells = sheet.at("cells");
        for (json& cell : cells) {
            cell[2] = cell.at(2) == "date" ? "number" : cell.at(2);
        }
        sheets.push_back({sheet.at("name"), cells});
    }
    return sheets;
}

// Files that we read give xlrd's values; broken ones (and Excel 95) one line
// naming the file, and nothing on standard output.
TEST(DumpCommand, GivesXlrdsValuesOrRefusesInOneLine) {
    if (CorpusDir().empty()) {
        GTEST_SKIP() << "no corpus";
    }
    TempDir dir;
    auto dump = [&](const std::string& name) {
        return RunCli(dir / "home", {"dump", (CorpusDir() / name).string()});
    };
    for (const std::string name :
         {"parseexcel__Test97J.xls", "libxls__types.xls", "sheetjs__ErrorTypes.xls"}) {
        SCOPED_TRACE(name);
        CliRun run = dump(name);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::vector<std::uint8_t> golden = ReadBytes(CorpusDir() / (name + ".json"));
        EXPECT_EQ(Sheets(json::parse(run.out)), Sheets(json::parse(golden.begin(), golden.end())));
    }
    for (const std::string name : {"calamine__too_small.xls", "derived__12561-1_truncated20000.xls",
                                   "edr__Test_Issue_12556_corrupt.xls", "parseexcel__encrypted.xls",
                                   "parseexcel__Test95J.xls"}) {
        SCOPED_TRACE(name);
        CliRun run = dump(name);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(LineCount(run.err), 1) << run.err;
        EXPECT_NE(run.err.find(name), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace tomorine::test
