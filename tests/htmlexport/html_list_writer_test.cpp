// The export of the last search on workbook files, and failures that leave
// an existing page as it was.
#include "htmlexport/html_list_writer.h"
#include "search/search_statement.h"
#include "store/data_connection.h"
#include "store/settings/cp932.h"
#include "store/workbook/workbook_error.h"
#include "support/data_file.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <unistd.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::uint8_t> kOldPage{'o', 'l', 'd'};

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
        WriteEntries(state.DataFilePath, entries);
        request.statement = BuildSearchStatement(u"");
        request.outputPath = dir / "list.htm";
        WriteBytes(request.outputPath, kOldPage);
    }
    HtmlListResult run() { return WriteHtmlList(state, request); }
};

// With no search yet nothing is opened; a search without rows keeps the
// connection. Either way an earlier page stays.
TEST(HtmlList, NoRowsWriteNothing) {
    for (const bool searched : {false, true}) {
        Export e({Entry{1, u"http://a.jp/", u"A", u"", u"", u""}});
        e.request.statement = searched ? BuildSearchStatement(u"http://nowhere.jp/") : u"";
        EXPECT_TRUE(e.run().noData);
        EXPECT_EQ(e.state.ConnectionOpen, searched);
        EXPECT_FALSE(e.state.HasSearchResult);
        EXPECT_EQ(ReadBytes(e.request.outputPath), kOldPage);
    }
}

// Matching rows in their order, comment rows only for an option of exactly 1,
// keywords never; the result stays open.
TEST(HtmlList, WritesTheMatchingRows) {
    for (std::int32_t option : {0, 1, 2}) {
        Export e({{1, u"http://a.jp/", u"りんご", u"", u"果物", u"赤い"},
                  {2, u"http://b.jp/", u"みかん", u"", u"", u""},
                  {3, u"http://c.jp/", u"りんご飴", u"", u"", u"祭り"}});
        e.request.searchTexts.title = u"りんご";
        e.request.commentOutput = option;
        EXPECT_EQ(e.run().entriesWritten, 2);
        EXPECT_TRUE(e.state.HasSearchResult);
        ASSERT_TRUE(e.state.ModuleRecordset);
        EXPECT_EQ(e.state.ModuleRecordset->recordCount(), 3);
        const std::string page = PageText(e.request.outputPath);
        EXPECT_LT(page.find("a.jp"), page.find("c.jp"));
        EXPECT_EQ(page.find(">赤い</td>") != std::string::npos, option == 1) << option;
        EXPECT_EQ(page.find("boxstyle00001\">") != std::string::npos, option == 1) << option;
        EXPECT_EQ(page.find("みかん"), std::string::npos);
        EXPECT_EQ(page.find("果物"), std::string::npos);
        EXPECT_EQ(Listing(e.dir.path()), (std::set<std::string>{"data.xls", "list.htm"}));
    }
}

// Each failure names the file and leaves every file as it was; the read-only
// case needs a user other than root (test_htmlexport_unprivileged).
TEST(FailedExport, LeavesTheOldPageAsItWas) {
    const struct {
        int number;
        const char* named;
        std::function<void(Export&)> arrange;
    } cases[] = {
        {ErrorNumber::PathNotFound, "missing",
         [](Export& e) { e.request.outputPath = e.dir / "missing" / "list.htm"; }},
        {ErrorNumber::FileAccess, "list.htm",
         [](Export& e) {
             fs::remove(e.request.outputPath);
             fs::create_directory(e.request.outputPath);
             WriteBytes(e.request.outputPath / "inside", kOldPage);
         }},
        {ErrorNumber::FileAccess, "list.htm", nullptr}, // the small disk
        {ErrorNumber::PermissionDenied, "list.htm",
         [](Export& e) {
             fs::permissions(e.dir / "out", fs::perms::owner_read | fs::perms::owner_exec);
         }},
        {ErrorNumber::FileNotFound, "gone.xls",
         [](Export& e) { e.state.DataFilePath = e.dir / "gone.xls"; }},
    };
    std::vector<Entry> many;
    for (int i = 1; i <= 300; ++i) {
        many.push_back({i, u"http://example.jp/" + std::u16string(100, u'p'),
                        std::u16string(100, u't'), u"", u"", std::u16string(400, u'c')});
    }
    for (const auto& c : cases) {
        if (c.number == ErrorNumber::PermissionDenied && ::geteuid() == 0) {
            continue;
        }
        SCOPED_TRACE(c.number);
        Export e(many);
        e.request.commentOutput = 1;
        fs::create_directory(e.dir / "out");
        e.request.outputPath = e.dir / "out" / "list.htm";
        WriteBytes(e.request.outputPath, kOldPage);
        if (c.arrange) {
            c.arrange(e);
        }
        const std::set<std::string> before = Listing(e.dir.path());
        try {
            std::optional<SmallDisk> disk;
            if (!c.arrange) {
                disk.emplace();
            }
            e.run();
            ADD_FAILURE() << "the export was reported as done";
        } catch (const WorkbookError& error) {
            EXPECT_EQ(error.number(), c.number) << error.description();
            EXPECT_NE(std::string(error.description()).find(c.named), std::string::npos)
                << error.description();
        }
        EXPECT_EQ(Listing(e.dir.path()), before);
        if (fs::is_regular_file(e.dir / "out" / "list.htm")) {
            EXPECT_EQ(ReadBytes(e.dir / "out" / "list.htm"), kOldPage);
        }
    }
}

} // namespace
} // namespace tomorine::test
