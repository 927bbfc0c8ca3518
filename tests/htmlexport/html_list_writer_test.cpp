// The export of the last search on workbook files: failures leave an existing page as it was.
#include "htmlexport/html_list_writer.h"
#include "store/data_connection.h"
#include "store/workbook/workbook_error.h"
#include "support/entry_rows.h"
#include "support/hostile_files.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::uint8_t> kOldPage{'o', 'l', 'd'};

struct Export {
    TempDir dir;
    fs::path dataFile = dir / "data.xls";
    HtmlListRequest request;

    explicit Export(const std::vector<Entry>& entries) {
        request.searchUrl = u"";
        request.outputPath = dir / "out" / "list.htm";
        WriteEntries(dataFile, entries);
        fs::create_directory(dir / "out");
        WriteBytes(request.outputPath, kOldPage);
    }
    HtmlListResult run() { return WriteHtmlList(dataFile, request); }
};

TEST(HtmlList, NoRowsWriteNothing) {
    Export e({Entry{1, u"http://a.jp/", u"A", u"", u"", u""}});
    e.request.searchUrl = u"http://nowhere.jp/";
    EXPECT_TRUE(e.run().noData);
    EXPECT_EQ(ReadBytes(e.request.outputPath), kOldPage);
}

// Each failure names the file and leaves every file as it was.
TEST(FailedExport, LeavesTheOldPageAsItWas) {
    const struct {
        WorkbookFault number;
        const char* named;
        std::function<void(Export&)> arrange;
    } cases[] = {
        {WorkbookFault::PathNotFound, "missing",
         [](Export& e) { e.request.outputPath = e.dir / "missing" / "list.htm"; }},
        {WorkbookFault::FileAccess, "list.htm",
         [](Export& e) {
             fs::remove(e.request.outputPath);
             fs::create_directory(e.request.outputPath);
             WriteBytes(e.request.outputPath / "inside", kOldPage);
         }},
        {WorkbookFault::FileAccess, "list.htm", nullptr}, // the small disk
        {WorkbookFault::FileNotFound, "gone.xls",
         [](Export& e) { e.dataFile = e.dir / "gone.xls"; }},
    };
    std::vector<Entry> many;
    for (int i = 1; i <= 300; ++i) {
        many.push_back({i, u"http://example.jp/" + std::u16string(100, u'p'),
                        std::u16string(100, u't'), u"", u"", std::u16string(400, u'c')});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        Export e(many);
        e.request.commentOutput = true;
        if (c.arrange) {
            c.arrange(e);
        }
        const std::set<std::string> before = Listing(e.dir.path());
        try {
            const auto disk = c.arrange ? std::nullopt : std::make_optional<SmallDisk>();
            e.run();
            ADD_FAILURE() << "the export was reported as done";
        } catch (const WorkbookError& error) {
            EXPECT_EQ(error.fault(), c.number) << error.description();
            EXPECT_NE(std::string(error.description()).find(c.named), std::string::npos)
                << error.description();
        }
        EXPECT_EQ(Listing(e.dir.path()), before); // the old page's bytes too
    }
}

} // namespace
} // namespace tomorine::test
