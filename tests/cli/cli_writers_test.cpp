// Several tomorine-cli processes writing one data file at once: one writer
// at a time, every entry kept, every serial given once.
#include "cli_process.h"
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/entry_statements.h"
#include "store/files/data_file_lock.h"
#include "store/table/connection.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// tomorine-cli COMMAND --data FILE ARGS, started with TOMORINE_HOME beside FILE.
std::unique_ptr<CliProcess> StartCli(const fs::path& data, Args args) {
    args.insert(args.begin() + 1, {"--data", data.string()});
    return std::make_unique<CliProcess>(CliLaunch{args, data.parent_path() / "home"});
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
        std::vector<std::unique_ptr<CliProcess>> adds;
        for (int k = 0; k < 2; ++k) {
            const std::u16string url = Url(10000 + round * 2 + k);
            adds.push_back(
                StartCli(file, {"add", "--url", {url.begin(), url.end()}, "--title", "同時"}));
        }
        const auto compact = StartCli(file, {"compact"});
        for (int k = 0; k < 2; ++k) {
            const CliOutcome add = adds[k]->wait();
            ASSERT_EQ(add.status, 0) << add.err;
            const int serial = std::stoi(add.out);
            EXPECT_FALSE(reported.contains(serial)) << "serial " << serial << " given twice";
            reported[serial] = Url(10000 + round * 2 + k);
        }
        const CliOutcome compacted = compact->wait();
        ASSERT_EQ(compacted.status, 0) << compacted.err;
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
        const CliOutcome add =
            StartCli(file, {"add", "--url", "http://x.jp/", "--title", "x"})->wait();
        EXPECT_EQ(add.status, 1);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, std::chrono::seconds(4));
        EXPECT_LT(waited, std::chrono::seconds(30));
        EXPECT_NE(add.err.find("ブック.xls"), std::string::npos) << add.err;
        EXPECT_NE(add.err.find("書き込み中"), std::string::npos) << add.err;
    }
    EXPECT_EQ(ReadBytes(file), before);
}

} // namespace
} // namespace tomorine::test
