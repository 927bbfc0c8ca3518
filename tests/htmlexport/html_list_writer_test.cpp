// The export of the last search on real workbook files: when nothing is
// written, what the module connection is left as, and failures that leave
// an existing page as it was.
#include "htmlexport/html_list_writer.h"
#include "search/search_statement.h"
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/settings/cp932.h"
#include "store/workbook/workbook_error.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::uint8_t> kOldPage{'o', 'l', 'd'};

Entry MakeEntry(std::int32_t serial, std::u16string url, std::u16string title,
                std::u16string comment = {}, std::u16string keywords = {}) {
    Entry e;
    e.serial = serial;
    e.url = std::move(url);
    e.title = std::move(title);
    e.comment = std::move(comment);
    e.keywords = std::move(keywords);
    return e;
}

void WriteDataFile(const fs::path& path, const std::vector<Entry>& entries) {
    Connection connection(path, NewDataWorkbook());
    for (const Entry& e : entries) {
        connection.execute(BuildInsertStatement(e.serial, e));
    }
    connection.close();
}

std::string PageText(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return Cp932ToUtf8(std::string(bytes.begin(), bytes.end()));
}

std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        names.insert(fs::relative(entry.path(), dir).string());
    }
    return names;
}

struct Export {
    TempDir dir;
    StoreState state;
    HtmlListRequest request;

    explicit Export(const std::vector<Entry>& entries) {
        state.DataFilePath = dir / "data.xls";
        WriteDataFile(state.DataFilePath, entries);
        request.statement = BuildSearchStatement(u"");
        request.outputPath = dir / "list.htm";
    }
    HtmlListResult run() { return WriteHtmlList(state, request); }
};

TEST(HtmlList, NoSearchYetWritesNothingAndOpensNothing) {
    Export e({MakeEntry(1, u"http://a.jp/", u"A")});
    e.request.statement.clear();
    test::WriteBytes(e.request.outputPath, kOldPage);
    const HtmlListResult result = e.run();
    EXPECT_TRUE(result.noData);
    EXPECT_FALSE(e.state.ConnectionOpen);
    EXPECT_EQ(ReadBytes(e.request.outputPath), kOldPage);
}

TEST(HtmlList, AStatementWithoutRowsLeavesAnEarlierPageAndTheConnectionOpen) {
    Export e({MakeEntry(1, u"http://a.jp/", u"A")});
    e.request.statement = BuildSearchStatement(u"http://nowhere.jp/");
    test::WriteBytes(e.request.outputPath, kOldPage);
    const HtmlListResult result = e.run();
    EXPECT_TRUE(result.noData);
    EXPECT_TRUE(e.state.ConnectionOpen);
    EXPECT_FALSE(e.state.HasSearchResult);
    EXPECT_EQ(ReadBytes(e.request.outputPath), kOldPage);
}

TEST(HtmlList, WritesTheMatchingRowsAndLeavesTheResultOpen) {
    Export e({MakeEntry(1, u"http://a.jp/", u"りんご", u"赤い", u"果物"),
              MakeEntry(2, u"http://b.jp/", u"みかん"),
              MakeEntry(3, u"http://c.jp/", u"りんご飴", u"祭り")});
    test::WriteBytes(e.request.outputPath, kOldPage);
    e.request.searchTexts.title = u"りんご";
    e.request.commentOutput = 1;
    const HtmlListResult result = e.run();
    EXPECT_FALSE(result.noData);
    EXPECT_EQ(result.entriesWritten, 2);
    EXPECT_TRUE(e.state.ConnectionOpen);
    EXPECT_TRUE(e.state.HasSearchResult);
    ASSERT_TRUE(e.state.ModuleRecordset);
    EXPECT_EQ(e.state.ModuleRecordset->recordCount(), 3);
    const std::string page = PageText(e.request.outputPath);
    EXPECT_NE(page.find(">赤い</td>"), std::string::npos);
    EXPECT_NE(page.find(">祭り</td>"), std::string::npos);
    EXPECT_EQ(page.find("みかん"), std::string::npos);
    EXPECT_EQ(page.find("果物"), std::string::npos) << "keywords are never written";
    EXPECT_EQ(Listing(e.dir.path()), (std::set<std::string>{"data.xls", "list.htm"}));
}

// Comment rows only for exactly 1.
TEST(HtmlList, CommentRowsOnlyWhenTheOptionIsOne) {
    for (std::int32_t option : {0, 1, 2, -1}) {
        SCOPED_TRACE(option);
        Export e({MakeEntry(1, u"u", u"t", u"コメント")});
        e.request.commentOutput = option;
        e.run();
        const std::string page = PageText(e.request.outputPath);
        EXPECT_EQ(page.find("コメント") != std::string::npos, option == 1);
        EXPECT_EQ(page.find("boxstyle00001\">") != std::string::npos, option == 1);
    }
}

enum class Failure { MissingFolder, NamesAFolder, DiskFull, ReadOnlyFolder, MissingDataFile };

// Every failure is a WorkbookError naming the file; the old page, the folder
// and the data file are as they were. Read-only cases need a user other
// than root (test_htmlexport_unprivileged).
TEST(FailedExport, LeavesTheOldPageAsItWas) {
    const struct {
        Failure failure;
        int number;
        const char* named;
    } cases[] = {
        {Failure::MissingFolder, ErrorNumber::PathNotFound, "missing"},
        {Failure::NamesAFolder, ErrorNumber::FileAccess, "list.htm"},
        {Failure::DiskFull, ErrorNumber::FileAccess, "list.htm"},
        {Failure::ReadOnlyFolder, ErrorNumber::PermissionDenied, "list.htm"},
        {Failure::MissingDataFile, ErrorNumber::FileNotFound, "gone.xls"},
    };
    std::vector<Entry> many;
    for (int i = 1; i <= 300; ++i) {
        many.push_back(MakeEntry(i, u"http://example.jp/" + std::u16string(100, u'p'),
                                 u"題名" + std::u16string(100, u't'), std::u16string(400, u'c')));
    }
    for (const auto& c : cases) {
        if (c.number == ErrorNumber::PermissionDenied && ::geteuid() == 0) {
            continue;
        }
        SCOPED_TRACE(static_cast<int>(c.failure));
        Export e(many);
        e.request.commentOutput = 1;
        fs::create_directory(e.dir / "out");
        e.request.outputPath = e.dir / "out" / "list.htm";
        test::WriteBytes(e.request.outputPath, kOldPage);
        switch (c.failure) {
        case Failure::MissingFolder:
            e.request.outputPath = e.dir / "missing" / "list.htm";
            break;
        case Failure::NamesAFolder:
            fs::remove(e.request.outputPath);
            fs::create_directory(e.request.outputPath);
            test::WriteBytes(e.request.outputPath / "inside", kOldPage);
            break;
        case Failure::ReadOnlyFolder:
            fs::permissions(e.dir / "out", fs::perms::owner_read | fs::perms::owner_exec);
            break;
        case Failure::MissingDataFile:
            e.state.DataFilePath = e.dir / "gone.xls";
            break;
        default:
            break;
        }
        const std::set<std::string> before = Listing(e.dir.path());
        try {
            std::optional<SmallDisk> disk;
            if (c.failure == Failure::DiskFull) {
                disk.emplace();
            }
            e.run();
            ADD_FAILURE() << "the export was reported as done";
        } catch (const WorkbookError& error) {
            EXPECT_EQ(error.number(), c.number) << error.description();
            EXPECT_NE(std::string(error.description()).find(c.named), std::string::npos)
                << error.description();
        }
        EXPECT_EQ(Listing(e.dir.path()), before) << "a file was left, removed or changed";
        if (fs::is_regular_file(e.dir / "out" / "list.htm")) {
            EXPECT_EQ(ReadBytes(e.dir / "out" / "list.htm"), kOldPage);
        }
    }
}

// A row that cannot be read (a column missing from the sheet) stops the
// export; the old page stays.
TEST(FailedExport, AMissingColumnLeavesTheOldPage) {
    Export e({MakeEntry(1, u"u", u"t")});
    e.request.statement = u"select シリアル番号, URL1 from [トモリネ$] where 削除 = 0";
    test::WriteBytes(e.request.outputPath, kOldPage);
    try {
        e.run();
        ADD_FAILURE() << "the export was reported as done";
    } catch (const WorkbookError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::ItemNotFound) << error.description();
    }
    EXPECT_EQ(ReadBytes(e.request.outputPath), kOldPage);
    EXPECT_EQ(Listing(e.dir.path()), (std::set<std::string>{"data.xls", "list.htm"}));
}

} // namespace
} // namespace tomorine::test
