// tomorine-cli's command line, first start and choice of data file.
#include "cli_process.h"
#include "store/settings/ini_functions.h"
#include "store/workbook/utf.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace tomorine::test {

namespace fs = std::filesystem;

TEST(UsageErrors, ExitTwoWithAUsageLineAndTouchNothing) {
    // clang-format off
    for (const char* line :
         {"", "--data x.xls search", "search --title", "search --title a --title b",
          "search --title \xff", "show 0", "show 2147483648", "show 1 2", "delete 1x",
          "keywords --json --json", "export-html", "import-favorites a b",
          "import-bookmarks --firefox --chromium", "import-bookmarks --json",
          "capture file:///etc/passwd", "help", "help frobnicate"}) {
        // clang-format on
        SCOPED_TRACE(line);
        std::istringstream words(line);
        TempDir dir;
        CliOutcome run =
            RunCliProcess({{std::istream_iterator<std::string>(words), {}}, dir / "home"});
        EXPECT_EQ(std::tie(run.status, run.out), std::tuple(2, ""));
        EXPECT_NE(run.err.find("使い方: tomorine-cli"), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(dir / "home")) << "not even the home folder is made";
    }
}

// --data FILE (relative to the current folder) over the DATAFILE setting over
// the default file in the program folder, which the first add creates; a data
// file set by the user is never made up, the refusal says how to make it.
TEST(DataFile, OptionOverSettingOverDefault) {
    TempDir dir;
    fs::create_directories(dir / "ア");
    for (const char* file : {"ア/設定.xls", "ア/指定.xls"}) {
        WriteEntries(dir / file, {{1, u"u", FromUtf8(file), {}, {}, {}}});
    }
    auto run = [&](const Args& args) { return RunCliProcess({args, dir / "home"}); };
    EXPECT_EQ(run({"add", "--url", "u", "--title", "home/トモリネ.xls"}).out, "1\n");
    EXPECT_EQ(run({"search"}).out, "[00001]:home/トモリネ.xls\n1件 ヒットしました\n");
    auto set = [&](const fs::path& file) {
        return WriteIniString(dir / "home" / "トモリネ.ini", "トモリネ", "DATAFILE", file.string());
    };
    const fs::path missing = dir / "ブック 1.xls";
    ASSERT_TRUE(set(missing));
    const CliOutcome refused = run({"add", "--url", "u", "--title", "t"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("tomorine-cli create '" + missing.string() + "'"), std::string::npos)
        << refused.err;
    EXPECT_FALSE(fs::exists(missing));
    ASSERT_TRUE(set(dir / "ア" / "設定.xls"));
    EXPECT_EQ(run({"search"}).out, "[00001]:ア/設定.xls\n1件 ヒットしました\n");
    EXPECT_EQ(run({"search", "--data", "ア/指定.xls"}).out,
              "[00001]:ア/指定.xls\n1件 ヒットしました\n");
    fs::create_hard_link(dir / "ア/指定.xls", dir / "ア/別名.xls"); // a save splits them
    EXPECT_NE(run({"search", "--data", "ア/指定.xls"}).err.find("ハードリンク"), std::string::npos);
}

} // namespace tomorine::test
