// A pipe, a device, a folder or a huge file as data file or settings file:
// a clear message at once, nothing changed. A hang here is caught by the
// ctest TIMEOUT of this program.
#include "cli_process.h"
#include "store/data_workbook.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

enum class Kind { Fifo, DevZero, Folder, Huge };

const char* Name(Kind kind) {
    switch (kind) {
    case Kind::Fifo:
        return "FIFO";
    case Kind::DevZero:
        return "/dev/zero";
    case Kind::Folder:
        return "folder";
    case Kind::Huge:
        return "50 MB file";
    }
    return "";
}

// /dev/zero only without root: a fault would let root replace the device.
bool Usable(Kind kind) {
    return kind != Kind::DevZero || ::geteuid() != 0;
}

void Make(Kind kind, const fs::path& path) {
    switch (kind) {
    case Kind::Fifo:
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        break;
    case Kind::DevZero:
        fs::create_symlink("/dev/zero", path);
        break;
    case Kind::Folder:
        fs::create_directory(path);
        break;
    case Kind::Huge:
        WriteBytes(path, std::vector<std::uint8_t>(50 << 20, 'x'));
        break;
    }
}

// What a later look at the path must find again.
std::string Fingerprint(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return "missing";
    }
    return std::to_string(info.st_mode) + " " + std::to_string(info.st_size) + " " +
           std::to_string(info.st_ino) + " " + std::to_string(info.st_mtim.tv_nsec);
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

constexpr Kind kKinds[] = {Kind::Fifo, Kind::DevZero, Kind::Folder, Kind::Huge};

TEST(BadDataFile, EveryCommandFailsAtOnceNamingTheFile) {
    for (Kind kind : kKinds) {
        if (!Usable(kind)) {
            continue;
        }
        TempDir dir;
        const fs::path data = dir / "データ.xls";
        Make(kind, data);
        const std::string before = Fingerprint(data);
        for (const Args& command :
             {Args{"add", "--url", "u", "--title", "t"}, Args{"update", "1", "--title", "t"},
              Args{"check-version", "--yes"}, Args{"search"}}) {
            SCOPED_TRACE(std::string(Name(kind)) + ": " + command[0]);
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
    for (Kind kind : kKinds) {
        if (!Usable(kind)) {
            continue;
        }
        SCOPED_TRACE(Name(kind));
        TempDir dir;
        const fs::path home = dir / "home";
        fs::create_directory(home);
        Workbook book = NewDataWorkbook();
        WriteXlsFile(book, home / "トモリネ.xls");
        const fs::path ini = home / "トモリネ.ini";
        Make(kind, ini);
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
