// The keyword list against lists written by hand and the list an xlrd peer
// (keyword_peer.py) computes from a workbook written by xlwt.
#include "keywords/keyword_list.h"
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/files/data_file_lock.h"
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Keywords = std::vector<std::string>;

// The keyword chunks as the cells hold them (an empty one is a Null cell).
struct KeywordRow {
    std::vector<std::u16string> chunks;
    bool deleted = false;
};

// As the register command stores the text.
KeywordRow Stored(std::u16string_view keywords, bool deleted = false) {
    KeywordRow row{{}, deleted};
    for (const std::u16string& chunk : SplitChunks(keywords, 16)) {
        row.chunks.push_back(TrailingSpacesToTabs(chunk));
    }
    return row;
}

Workbook KeywordBook(const std::vector<KeywordRow>& rows) {
    Workbook book = NewDataWorkbook();
    const int first = LayoutOf(FieldGroup::Keywords).firstColumn;
    for (size_t i = 0; i < rows.size(); ++i) {
        Sheet::Row cells(EntryColumnCount);
        cells[0] = Cell::number(static_cast<double>(i + 1));
        cells[1] = Cell::text(u"http://example.jp/");
        for (size_t c = 0; c < rows[i].chunks.size(); ++c) {
            if (!rows[i].chunks[c].empty()) {
                cells[first - 1 + c] = Cell::text(rows[i].chunks[c]);
            }
        }
        cells[EntryColumnCount - 1] = Cell::number(rows[i].deleted ? 1 : 0);
        book.sheet(1).appendRow(std::move(cells));
    }
    return book;
}

// The listed keywords in UTF-8; each line's position is its row in the result.
Keywords Listed(const fs::path& dataFile) {
    Keywords keywords;
    for (const KeywordLine& line : ListKeywords(dataFile)) {
        EXPECT_EQ(line.position, static_cast<long>(keywords.size()));
        keywords.push_back(ToUtf8(line.keyword));
    }
    return keywords;
}

Keywords ListedFrom(const std::vector<KeywordRow>& rows) {
    TempDir dir;
    WriteXlsFile(KeywordBook(rows), dir / "data.xls");
    return Listed(dir / "data.xls");
}

TEST(KeywordList, MatchesListsWrittenByHand) {
    const struct {
        std::vector<KeywordRow> rows;
        Keywords expected;
    } cases[] = {
        {{Stored(u"news sports"), Stored(u"sports weather"), Stored(u"gone", true), KeywordRow{}},
         {"news", "sports", "weather"}},
        {{Stored(u"it's rock'n'roll '' 2024 1.50")}, {"''", "1.50", "2024", "it's", "rock'n'roll"}},
        // Runs of either space or both leave no space in a word and no blank word.
        {{Stored(u"東京　大阪  名古屋"), Stored(u"news　 sports"), Stored(u" 　 lead　　")},
         {"lead", "news", "sports", "名古屋", "大阪", "東京"}},
        {{KeywordRow{{u"", u"alpha beta", u"", u"gamma"}}}, {"alpha", "betagamma"}},
        {{KeywordRow{{u"ab\t", u"c\td\t\t"}}}, {"ab", "c\td"}},
        // Binary order: case and width kept apart, code points ascending.
        {{Stored(u"news News ｎｅｗｓ ＮＥＷＳ"), Stored(u"ニュース ﾆｭｰｽ 𠮷 123 news")},
         {"123", "News", "news", "ニュース", "ＮＥＷＳ", "ｎｅｗｓ", "ﾆｭｰｽ", "𠮷"}},
    };
    for (auto c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.expected));
        EXPECT_EQ(ListedFrom(c.rows), c.expected);
        std::reverse(c.rows.begin(), c.rows.end()); // the order is stable
        EXPECT_EQ(ListedFrom(c.rows), c.expected);
    }
}

// Removing it is a write: it waits for another writer of the file.
TEST(KeywordList, RemovesALeftoverWorkSheetUnderTheLockAndKeepsTheRest) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    Workbook book = KeywordBook({Stored(u"fresh")});
    book.addSheet(u"キーワード一覧", 1).setCell(2, 1, Cell::text(u"stale"));
    book.addSheet(u"メモ").setCell(1, 1, Cell::text(u"memo"));
    WriteXlsFile(book, file);
    auto lock = std::make_unique<DataFileLock>(file);
    auto listed = std::async(std::launch::async, [&] { return Listed(file); });
    EXPECT_EQ(listed.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout)
        << "removed while another writer held the file";
    lock.reset();
    EXPECT_EQ(listed.get(), Keywords{"fresh"});
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
