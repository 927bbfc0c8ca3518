// Several tomorine-cli processes writing one data file at once: one writer
// at a time, every entry kept, every serial given once.
#include "cli_process.h"
#include "store/entry.h"
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"
#include "support/data_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<CliProcess> StartCli(const fs::path& data, Args args) {
    args.insert(args.begin() + 1, {"--data", data.string()});
    return std::make_unique<CliProcess>(CliLaunch{args, data.parent_path() / "home"});
}

std::string Url(int n) {
    return "https://example.com/" + std::to_string(n);
}

TEST(CliWriters, addsAtOnceAndBesideCompactKeepEveryEntryWithUniqueSerials) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    std::vector<Entry> start;
    for (int n = 1; n <= 500; ++n) {
        start.push_back({n, FromUtf8(Url(n)), u"題名", u"", u"語", u""});
    }
    WriteEntries(file, start);
    std::map<int, std::string> reported; // serial -> URL
    for (int round = 0; round < 20; ++round) {
        std::vector<std::unique_ptr<CliProcess>> adds;
        for (int k = 0; k < 2; ++k) {
            adds.push_back(
                StartCli(file, {"add", "--url", Url(10000 + round * 2 + k), "--title", "同時"}));
        }
        const auto compact = StartCli(file, {"compact"});
        for (int k = 0; k < 2; ++k) {
            const CliOutcome add = adds[k]->wait();
            ASSERT_EQ(add.status, 0) << add.err;
            const int serial = std::stoi(add.out);
            EXPECT_FALSE(reported.contains(serial)) << "serial " << serial << " given twice";
            reported[serial] = Url(10000 + round * 2 + k);
        }
        ASSERT_EQ(compact->wait().status, 0);
    }
    Workbook book = ReadXlsFile(file);
    const Sheet& sheet = book.sheet(EntrySheetName);
    std::map<int, std::string> stored;
    for (int row = 3; row <= sheet.lastUsedRow(); ++row) {
        const int serial = static_cast<int>(sheet.cell(row, 1).asNumber());
        EXPECT_TRUE(stored.emplace(serial, ToUtf8(sheet.cell(row, 2).asText())).second)
            << "serial " << serial << " stored twice";
    }
    EXPECT_EQ(stored.size(), 500u + 2 * 20);
    for (const auto& [serial, url] : reported) {
        EXPECT_EQ(stored[serial], url) << "entry " << serial;
    }
}

} // namespace
} // namespace tomorine::test
