// Several tomorine-cli processes writing one data file at once: one writer
// at a time, every entry kept, every serial given once.
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/entry_statements.h"
#include "store/files/data_file_lock.h"
#include "store/table/connection.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// Starts tomorine-cli COMMAND --data FILE ARGS with its output in `out`.
pid_t StartCli(const fs::path& data, Args args, const fs::path& out) {
    args.insert(args.begin() + 1, {"--data", data.string()});
    args.insert(args.begin(), TOMORINE_CLI);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open((out.string() + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(fd, 1);
        ::dup2(err, 2);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        ::setenv("TOMORINE_HOME", data.parent_path().c_str(), 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::u16string Url(int n) {
    std::string url = "https://example.com/" + std::to_string(n);
    return std::u16string(url.begin(), url.end());
}

// serial -> URL of every row from row 3 on.
std::multimap<int, std::u16string> StoredEntries(const fs::path& file) {
    Workbook book = ReadXlsFile(file);
    const Sheet& sheet = book.sheet(EntrySheetName);
    std::multimap<int, std::u16string> entries;
    for (int row = 3; row <= sheet.lastUsedRow(); ++row) {
        entries.emplace(static_cast<int>(sheet.cell(row, 1).asNumber()),
                        sheet.cell(row, 2).asText());
    }
    return entries;
}

void WriteEntries(const fs::path& file, int count) {
    Connection connection(file, NewDataWorkbook());
    for (int n = 1; n <= count; ++n) {
        connection.execute(BuildInsertStatement(n, Entry{n, Url(n), u"題名", u"", u"語", u""}));
    }
    connection.close();
}

TEST(CliWriters, addsAtOnceAndBesideCompactKeepEveryEntryWithUniqueSerials) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    constexpr int kStart = 500;
    constexpr int kRounds = 20;
    WriteEntries(file, kStart);
    std::map<int, std::u16string> reported;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<pid_t> adds;
        for (int k = 0; k < 2; ++k) {
            const std::u16string url16 = Url(10000 + round * 2 + k);
            const std::string url(url16.begin(), url16.end());
            adds.push_back(StartCli(file, {"add", "--url", url, "--title", "同時"},
                                    dir / ("add" + std::to_string(k))));
        }
        const pid_t compact = StartCli(file, {"compact"}, dir / "compact");
        for (int k = 0; k < 2; ++k) {
            const fs::path out = dir / ("add" + std::to_string(k));
            ASSERT_EQ(Wait(adds[k]), 0) << ReadText(out.string() + ".err");
            const int serial = std::stoi(ReadText(out));
            EXPECT_FALSE(reported.contains(serial)) << "serial " << serial << " given twice";
            reported[serial] = Url(10000 + round * 2 + k);
        }
        ASSERT_EQ(Wait(compact), 0) << ReadText(dir / "compact.err");
    }
    std::multimap<int, std::u16string> stored = StoredEntries(file);
    EXPECT_EQ(stored.size(), static_cast<size_t>(kStart + 2 * kRounds));
    std::set<int> serials;
    for (const auto& [serial, url] : stored) {
        EXPECT_TRUE(serials.insert(serial).second) << "serial " << serial << " stored twice";
    }
    for (const auto& [serial, url] : reported) {
        auto found = stored.find(serial);
        ASSERT_NE(found, stored.end()) << "entry " << serial << " lost";
        EXPECT_EQ(found->second, url);
    }
}

TEST(CliWriters, aWriterThatWaitsTooLongIsToldWhichFileIsBusy) {
    TempDir dir;
    const fs::path file = dir / "ブック.xls";
    WriteEntries(file, 3);
    const std::vector<std::uint8_t> before = ReadBytes(file);
    {
        DataFileLock held(file);
        const auto start = std::chrono::steady_clock::now();
        const pid_t add =
            StartCli(file, {"add", "--url", "http://x.jp/", "--title", "x"}, dir / "out");
        EXPECT_EQ(Wait(add), 1);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, std::chrono::seconds(4));
        EXPECT_LT(waited, std::chrono::seconds(30));
    }
    const std::string out = ReadText(dir / "out.err");
    EXPECT_NE(out.find("ブック.xls"), std::string::npos) << out;
    EXPECT_NE(out.find("書き込み中"), std::string::npos) << out;
    EXPECT_EQ(ReadBytes(file), before);
}

} // namespace
} // namespace tomorine::test
