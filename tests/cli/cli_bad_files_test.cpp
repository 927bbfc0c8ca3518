// A pipe, a device, a folder or a huge file as data file or settings file:
// a clear message at once, nothing changed. A hang here is caught by the
// ctest TIMEOUT of this program.
#include "cli_process.h"
#include "store/data_workbook.h"
#include "store/xls/xls_file.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(BadDataFile, EveryCommandFailsAtOnceNamingTheFile) {
    for (Hostile kind : kHostileKinds) {
        if (!MayWriteAt(kind)) {
            continue;
        }
        TempDir dir;
        const fs::path data = dir / "データ.xls";
        MakeHostile(kind, data);
        const std::string before = Fingerprint(data);
        for (const Args& command :
             {Args{"add", "--url", "u", "--title", "t"}, Args{"update", "1", "--title", "t"},
              Args{"check-version", "--yes"}, Args{"search"}}) {
            SCOPED_TRACE(std::string(HostileName(kind)) + ": " + command[0]);
            Args args = command;
            args.insert(args.begin() + 1, {"--data", data.string()});
            const CliOutcome run = RunCliProcess({args, dir / "home"});
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, command[0] == "check-version" ? "-1\n" : "");
            EXPECT_EQ(Lines(run.err), 1) << run.err;
            EXPECT_NE(run.err.find(data.string()), std::string::npos) << run.err;
            EXPECT_EQ(Fingerprint(data), before);
            EXPECT_TRUE(TemporaryFilesIn(dir.path()).empty());
        }
    }
}

// The program folder's settings file is refused with a notice; the command
// goes on with the default data file, and the settings file stays as it is.
TEST(BadSettingsFile, NoticeThenDefaults) {
    for (Hostile kind : kHostileKinds) {
        if (!MayWriteAt(kind)) {
            continue;
        }
        SCOPED_TRACE(HostileName(kind));
        TempDir dir;
        const fs::path home = dir / "home";
        fs::create_directory(home);
        Workbook book = NewDataWorkbook();
        WriteXlsFile(book, home / "トモリネ.xls");
        const fs::path ini = home / "トモリネ.ini";
        MakeHostile(kind, ini);
        const std::string before = Fingerprint(ini);

        const CliOutcome added = RunCliProcess({{"add", "--url", "u", "--title", "既定"}, home});
        EXPECT_EQ(added.status, 0) << added.err;
        EXPECT_EQ(added.out, "1\n");
        EXPECT_NE(added.err.find(ini.string()), std::string::npos) << added.err;
        EXPECT_NE(added.err.find("既定の値"), std::string::npos) << added.err;
        const CliOutcome found = RunCliProcess({{"search"}, home});
        EXPECT_EQ(found.out, "[00001]:既定\n1件 ヒットしました\n");
        EXPECT_EQ(Fingerprint(ini), before);
    }
}

} // namespace
} // namespace tomorine::test
