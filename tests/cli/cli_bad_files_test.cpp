// What every command refuses as its data file, a pipe, a device or a huge
// file among them: a clear message at once, nothing changed. A hang here is
// caught by the ctest TIMEOUT of this program, which also runs these cases as
// nobody for the read-only ones.
#include "cli_process.h"
#include "support/entry_rows.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"
#include "upgrade_fixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tomorine::test {

namespace fs = std::filesystem;

struct Condition {
    std::string name;
    std::function<void(const fs::path& data)> make;
    bool allowsWrites = true; // whether a writing command may be run on it
};

static std::vector<Condition> Conditions() {
    auto readOnly = [](bool folder) {
        return [folder](const fs::path& data) {
            WriteEntries(data, {{1, u"https://a.example/", u"題", {}, {}, {}}});
            fs::permissions(folder ? data.parent_path() : data, fs::perms::owner_write,
                            fs::perm_options::remove);
        };
    };
    std::vector<Condition> conditions{
        {"missing", [](const fs::path&) {}},
        {"not a workbook", [](const fs::path& d) { WriteText(d, "URL\r\n"); }}};
    if (::geteuid() != 0) {
        conditions.push_back({"read-only file", readOnly(false)});
        conditions.push_back({"read-only folder", readOnly(true)});
    }
    for (Hostile kind : kHostileKinds) {
        conditions.push_back({HostileName(kind),
                              [kind](const fs::path& d) { MakeHostile(kind, d); },
                              MayWriteAt(kind)});
    }
    return conditions;
}

// Exit 1 and one line naming the file; the file as it was and nothing left beside it.
TEST(BadDataFile, EveryCommandRefusesItInOneLine) {
    for (const Condition& condition : Conditions()) {
        for (const Args& args :
             {Args{"search"}, Args{"show", "1"}, Args{"check-version", "--yes"}, Args{"keywords"},
              Args{"check-links"}, Args{"add", "--url", "u", "--title", "t"},
              Args{"update", "1", "--title", "t"}, Args{"delete", "1"}, Args{"compact"}}) {
            const bool writes = args[0] == "add" || args[0] == "update" || args[0] == "delete" ||
                                args[0] == "compact";
            if (condition.name.starts_with("read-only") ? !writes
                                                        : writes && !condition.allowsWrites) {
                continue;
            }
            SCOPED_TRACE(args[0] + " on a " + condition.name + " data file");
            TempDir dir;
            const fs::path data = dir / "データ.xls";
            condition.make(data);
            const std::string before = Fingerprint(data);

            const CliOutcome run = RunOn(data, args);

            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, args[0] == "check-version" ? "-1\n" : "");
            EXPECT_EQ(LineCount(run.err), 1) << run.err;
            EXPECT_NE(run.err.find(data.string()), std::string::npos) << run.err;
            EXPECT_EQ(Fingerprint(data), before);
            EXPECT_EQ(FileNames(dir.path()).size(), condition.name == "missing" ? 0u : 1u);
        }
    }
}

} // namespace tomorine::test
