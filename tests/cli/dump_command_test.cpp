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
            if (cell.at(2) == "date") {
                cell[2] = "number";
            }
        }
        sheets.push_back({sheet.at("name"), cells});
    }
    return sheets;
}

TEST(DumpCommand, GivesXlrdsValues) {
    if (CorpusDir().empty()) {
        GTEST_SKIP() << "no corpus";
    }
    for (const std::string name :
         {"parseexcel__Test97J.xls", "poi__50779_1.xls", "libxls__types.xls",
          "sheetjs__ErrorTypes.xls", "parseexcel__long_string8.xls"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        CliRun run = RunCli(dir.path(), {"dump", (CorpusDir() / name).string()});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::vector<std::uint8_t> golden = ReadBytes(CorpusDir() / (name + ".json"));
        EXPECT_EQ(Sheets(json::parse(run.out)), Sheets(json::parse(golden.begin(), golden.end())));
    }
}

TEST(DumpCommand, RefusesBrokenFilesInOneLineAndPrintsNothing) {
    if (CorpusDir().empty()) {
        GTEST_SKIP() << "no corpus";
    }
    for (const std::string name : {"calamine__too_small.xls", "derived__12561-1_truncated20000.xls",
                                   "edr__Test_Issue_12556_corrupt.xls", "parseexcel__encrypted.xls",
                                   "parseexcel__Test95J.xls"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        CliRun run = RunCli(dir.path(), {"dump", (CorpusDir() / name).string()});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(LineCount(run.err), 1) << run.err;
        EXPECT_NE(run.err.find(name), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace tomorine::test
