// The keyword list against the list an xlrd peer (keyword_peer.py) computes from a
// workbook written by xlwt, and the removal of a leftover list sheet.
#include "keywords/keyword_list.h"
#include "store/entry.h"
#include "store/files/data_file_lock.h"
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"
#include "support/entry_rows.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Keywords = std::vector<std::string>;

// The listed keywords in UTF-8; each line's position is its row in the result.
Keywords Listed(const fs::path& dataFile) {
    Keywords keywords;
    for (const KeywordLine& line : ListKeywords(dataFile)) {
        EXPECT_EQ(line.position, static_cast<long>(keywords.size()));
        keywords.push_back(ToUtf8(line.keyword));
    }
    return keywords;
}

// Removing it is a write: it waits for another writer of the file. Code point order (UTF-16's
// would put 𠮷 first; the peer's words stay within U+FFFF).
TEST(KeywordList, RemovesALeftoverWorkSheetUnderTheLockAndSortsByCodePoint) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    auto words = [](std::u16string keywords) {
        return Texts{{u"URL1", u"http://example.jp/"}, {u"キーワード1", std::move(keywords)}};
    };
    Workbook book = DataBook({EntryRow(1, words(u"news ｎｅｗｓ")), EntryRow(2, words(u"𠮷 ﾆｭｰｽ")),
                              EntryRow(3, words(u"gone"), 1)});
    book.addSheet(u"キーワード一覧", 1).setCell(2, 1, Cell::text(u"stale"));
    book.addSheet(u"メモ").setCell(1, 1, Cell::text(u"memo"));
    WriteXlsFile(book, file);
    auto lock = std::make_unique<DataFileLock>(file);
    auto listed = std::async(std::launch::async, [&] { return Listed(file); });
    EXPECT_EQ(listed.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout)
        << "removed while another writer held the file";
    lock.reset();
    EXPECT_EQ(listed.get(), (Keywords{"news", "ｎｅｗｓ", "ﾆｭｰｽ", "𠮷"}));
    Workbook after = ReadXlsFile(file);
    ASSERT_EQ(after.sheetCount(), 2);
    EXPECT_EQ(after.sheet(1).row(3), book.sheet(u"トモリネ").row(3));
    EXPECT_EQ(after.sheet(2).cell(1, 1), Cell::text(u"memo"));
}

TEST(KeywordList, SameListAsThePeerForAGeneratedWorkbook) {
    TempDir dir;
    const std::string command = "/usr/bin/python3 '" TOMORINE_KEYWORD_PEER "' '" +
                                (dir / "data.xls").string() + "' 1 3000 >'" +
                                (dir / "peer.json").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto expected = nlohmann::json::parse(ReadBytes(dir / "peer.json"))["keywords"]
                              .get<std::vector<std::string>>();
    ASSERT_GT(expected.size(), 1000u) << "a list worth comparing";
    const auto before = ReadBytes(dir / "data.xls");
    EXPECT_EQ(Listed(dir / "data.xls"), expected);
    EXPECT_EQ(ReadBytes(dir / "data.xls"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2) << "a file left beside it";
}

} // namespace
} // namespace tomorine::test
