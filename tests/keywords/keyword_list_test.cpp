// The keyword list against lists written by hand, on data files built in a
// temporary folder.
#include "keyword_book.h"
#include "keywords/keyword_list.h"
#include "keywords/keyword_sheet.h"
#include "keywords/keyword_statements.h"
#include "store/files/data_file_lock.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <atomic>
#include <future>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using Keywords = std::vector<std::string>;

struct HandCase {
    const char* name;
    std::vector<KeywordRow> rows;
    Keywords expected;
};

void PrintTo(const HandCase& c, std::ostream* out) {
    *out << c.name;
}

class HandWritten : public ::testing::TestWithParam<HandCase> {};

TEST_P(HandWritten, ListsTheDistinctKeywordsInAscendingOrder) {
    TempDir dir;
    WriteXlsFile(KeywordBook(GetParam().rows), dir / "data.xls");
    EXPECT_EQ(Utf8Keywords(dir / "data.xls"), GetParam().expected);
}

const std::u16string k120(120, u'x');

INSTANTIATE_TEST_SUITE_P(
    Workbooks, HandWritten,
    ::testing::Values(
        HandCase{"TwoEntries",
                 {Stored(u"news sports"), Stored(u"sports weather")},
                 {"news", "sports", "weather"}},
        HandCase{"DeletedEntriesLeftOut", {Stored(u"alive"), Stored(u"gone", true)}, {"alive"}},
        HandCase{"NoKeywords", {Stored(u""), KeywordRow{}}, {}},
        HandCase{
            "ApostrophesKept", {Stored(u"it's rock'n'roll ''")}, {"''", "it's", "rock'n'roll"}},
        HandCase{
            "FullWidthSpaceSplits", {Stored(u"東京　大阪 名古屋")}, {"名古屋", "大阪", "東京"}},
        HandCase{"NullChunksAddNothing",
                 {KeywordRow{{u"", u"alpha beta", u"", u"gamma"}}},
                 {"alpha", "betagamma"}},
        HandCase{
            "WordAcrossChunkBorder", {Stored(k120 + u" longword")}, {"longword", ToUtf8(k120)}},
        HandCase{"TrailingTabsReadAsSpaces", {KeywordRow{{u"ab\t", u"c\td\t\t"}}}, {"ab", "c\td"}},
        // Binary order of the distinct values: case and width are kept
        // apart, code points ascending (so 𠮷 after the half-width forms).
        HandCase{"CaseAndWidthKeptApart",
                 {Stored(u"news News ｎｅｗｓ ＮＥＷＳ ニュース ﾆｭｰｽ 𠮷 123 news")},
                 {"123", "News", "news", "ニュース", "ＮＥＷＳ", "ｎｅｗｓ", "ﾆｭｰｽ", "𠮷"}},
        HandCase{"NumbersStayTexts", {Stored(u"2024 10 1.50")}, {"1.50", "10", "2024"}},
        // Runs of spaces, also of both kinds, leave no space in a keyword
        // and no blank keyword.
        HandCase{"RunsOfSpaces",
                 {Stored(u"a  b"), Stored(u"c　　"), Stored(u"news　 sports"), Stored(u" 　 lead")},
                 {"a", "b", "c", "lead", "news", "sports"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeywordList, ItemDataIsTheRowPositionOfTheDistinctResult) {
    TempDir dir;
    WriteXlsFile(KeywordBook({Stored(u"b a b")}), dir / "data.xls");
    std::vector<KeywordLine> lines = ListKeywords(dir / "data.xls");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].keyword, u"a");
    EXPECT_EQ(lines[0].position, 0);
    EXPECT_EQ(lines[1].keyword, u"b");
    EXPECT_EQ(lines[1].position, 1);
}

TEST(KeywordList, OrderDoesNotDependOnTheEntriesOrder) {
    std::vector<KeywordRow> rows;
    for (const char16_t* text : {u"news ＮＥＷＳ", u"News 𠮷", u"ｎｅｗｓ ﾆｭｰｽ", u"ニュース news",
                                 u"a b", u"B A", u"ａ ｂ", u"Ａ"}) {
        rows.push_back(Stored(text));
    }
    TempDir dir;
    WriteXlsFile(KeywordBook(rows), dir / "first.xls");
    const Keywords first = Utf8Keywords(dir / "first.xls");
    EXPECT_EQ(first, Utf8Keywords(dir / "first.xls"));
    std::mt19937 random(12);
    for (int round = 0; round < 3; ++round) {
        std::shuffle(rows.begin(), rows.end(), random);
        WriteXlsFile(KeywordBook(rows), dir / "shuffled.xls");
        EXPECT_EQ(Utf8Keywords(dir / "shuffled.xls"), first);
    }
    EXPECT_TRUE(std::is_sorted(first.begin(), first.end())) << "UTF-8 bytes ascending";
}

TEST(KeywordList, LeavesTheDataFileAsItWas) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    WriteXlsFile(KeywordBook({Stored(u"news sports")}), file);
    const auto past = fs::file_time_type::clock::now() - std::chrono::hours(48);
    fs::last_write_time(file, past);
    const std::vector<std::uint8_t> before = ReadBytes(file);
    EXPECT_EQ(Utf8Keywords(file), (Keywords{"news", "sports"}));
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(fs::last_write_time(file), past);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "no file left beside it";
}

TEST(KeywordList, RemovesALeftoverWorkSheetAndKeepsEverythingElse) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    Workbook book = KeywordBook({Stored(u"fresh")});
    Sheet& leftover = book.addSheet(u"キーワード一覧", 1);
    leftover.setCell(1, 1, Cell::text(u"keyword"));
    leftover.setCell(2, 1, Cell::text(u"stale"));
    book.addSheet(u"メモ").setCell(1, 1, Cell::text(u"memo"));
    WriteXlsFile(book, file);

    EXPECT_EQ(Utf8Keywords(file), (Keywords{"fresh"}));
    Workbook after = ReadXlsFile(file);
    ASSERT_EQ(after.sheetCount(), 2);
    EXPECT_EQ(after.sheet(1).name(), u"トモリネ");
    EXPECT_EQ(after.sheet(2).cell(1, 1), Cell::text(u"memo"));
    const Sheet& entries = book.sheet(u"トモリネ");
    ASSERT_EQ(after.sheet(1).lastUsedRow(), entries.lastUsedRow());
    for (int r = 1; r <= entries.lastUsedRow(); ++r) {
        EXPECT_EQ(after.sheet(1).row(r), entries.row(r)) << "row " << r;
    }
    EXPECT_FALSE(DeleteKeywordSheet(file)) << "nothing left to remove";
}

// The removal is a write: it waits for another writer of the file to finish.
TEST(KeywordList, RemovesALeftoverOnlyUnderTheDataFileLock) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    Workbook book = KeywordBook({Stored(u"fresh")});
    book.addSheet(u"キーワード一覧").setCell(1, 1, Cell::text(u"keyword"));
    WriteXlsFile(book, file);
    std::atomic<bool> released = false;
    std::promise<void> locked;
    std::thread writer([&] {
        DataFileLock lock(file);
        locked.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        released = true;
    });
    locked.get_future().wait();
    EXPECT_TRUE(DeleteKeywordSheet(file));
    EXPECT_TRUE(released) << "removed while another writer held the file";
    writer.join();
    EXPECT_EQ(ReadXlsFile(file).findSheet(u"キーワード一覧"), nullptr);
}

struct BrokenCase {
    const char* name;
    std::function<void(const fs::path&)> write;
    int number;
    const char* described; // part of the description
};

void PrintTo(const BrokenCase& c, std::ostream* out) {
    *out << c.name;
}

class BrokenDataFile : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenDataFile, FailsWithADescriptionAndChangesNothing) {
    TempDir dir;
    const fs::path file = dir / "data.xls";
    GetParam().write(file);
    const bool exists = fs::exists(file);
    const std::vector<std::uint8_t> before = exists ? ReadBytes(file) : std::vector<std::uint8_t>{};
    try {
        ListKeywords(file);
        ADD_FAILURE() << "no error";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.number(), GetParam().number) << e.what();
        EXPECT_THAT(e.what(), ::testing::HasSubstr(GetParam().described));
    }
    EXPECT_EQ(fs::exists(file), exists);
    if (exists) {
        EXPECT_EQ(ReadBytes(file), before);
    }
}

Workbook WithEntrySheet(std::vector<std::u16string> header) {
    Workbook book;
    Sheet& sheet = book.addSheet(u"トモリネ");
    for (size_t c = 0; c < header.size(); ++c) {
        sheet.setCell(1, static_cast<int>(c) + 1, Cell::text(header[c]));
    }
    sheet.appendRow({Cell::number(1), Cell::text(u"u"), Cell::number(0)});
    return book;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenDataFile,
    ::testing::Values(
        BrokenCase{"Missing", [](const fs::path&) {}, ErrorNumber::FileNotFound, "data.xls"},
        BrokenCase{"NotAWorkbook",
                   [](const fs::path& f) {
                       WriteBytes(f, {'n', 'o', 't', ' ', 'x', 'l', 's'});
                   },
                   ErrorNumber::NotInExpectedFormat, "data.xls"},
        BrokenCase{"NoEntrySheet",
                   [](const fs::path& f) {
                       Workbook book;
                       book.addSheet(u"キーワード一覧").setCell(1, 1, Cell::text(u"keyword"));
                       WriteXlsFile(book, f);
                   },
                   ErrorNumber::SubscriptOutOfRange, "トモリネ"},
        BrokenCase{"NoDeletedColumn",
                   [](const fs::path& f) {
                       WriteXlsFile(WithEntrySheet({u"シリアル番号", u"URL1", u"消去"}), f);
                   },
                   ErrorNumber::Statement, "削除"},
        BrokenCase{"NoKeywordColumns",
                   [](const fs::path& f) {
                       WriteXlsFile(WithEntrySheet({u"シリアル番号", u"URL1", u"削除"}), f);
                   },
                   ErrorNumber::ItemNotFound, "キーワード1"}),
    [](const auto& info) { return std::string(info.param.name); });

// Five new words an entry, `words` in all.
std::vector<KeywordRow> DistinctWords(int words) {
    std::vector<KeywordRow> rows;
    for (int w = 0; w < words; w += 5) {
        std::u16string text;
        for (int k = w; k < std::min(words, w + 5); ++k) {
            text += u"w" + FromUtf8(std::to_string(k)) + u" ";
        }
        rows.push_back(Stored(text));
    }
    return rows;
}

TEST(KeywordList, TakesAsManyDistinctKeywordsAsTheWorkSheetHasRows) {
    for (int words : {65535, 65536}) {
        SCOPED_TRACE(words);
        Workbook book = KeywordBook(DistinctWords(words));
        CreateKeywordSheet(book);
        Connection connection("/nonexistent/data.xls", std::move(book));
        if (words == 65535) {
            EXPECT_EQ(CollectKeywords(connection).size(), 65535u);
            continue;
        }
        try {
            CollectKeywords(connection);
            ADD_FAILURE() << "no error";
        } catch (const WorkbookError& e) {
            EXPECT_EQ(e.number(), ErrorNumber::SheetRule);
            EXPECT_THAT(e.what(), ::testing::HasSubstr("65535 種類を超える"));
        }
    }
}

TEST(KeywordStatements, AreBuiltCharacterForCharacter) {
    EXPECT_EQ(KeywordSourceStatement(), u"SELECT * FROM [トモリネ$] WHERE 削除 = 0");
    EXPECT_EQ(KeywordInsertStatement(u"it's"),
              u"INSERT INTO [キーワード一覧$] (keyword) VALUES ('it''s')");
    EXPECT_EQ(DistinctKeywordStatement(),
              u"SELECT distinct keyword FROM [キーワード一覧$] ORDER BY keyword");
}

} // namespace
} // namespace tomorine::test
