#include "biff_stream_builder.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tomorine {
namespace {

using ::testing::HasSubstr;

int ErrorNumberOf(const std::filesystem::path& path, std::string* description = nullptr) {
    try {
        ReadXlsFile(path);
    } catch (const WorkbookError& e) {
        if (description != nullptr) {
            *description = e.what();
        }
        return e.number();
    }
    return 0;
}

TEST(ReadXlsFileTest, ReadsAWorkbookFromDisk) {
    test::TempDir dir;
    const test::Bytes stream = test::WorkbookStream(
        {}, {{u"Sheet1", {test::LabelCell(0, 0, u"あ"), test::NumberCell(1, 0, 2)}, 0}});
    test::WriteBytes(dir / "a.xls", test::XlsFile(stream));
    const Workbook book = ReadXlsFile(dir / "a.xls");
    ASSERT_EQ(book.sheetCount(), 1);
    EXPECT_EQ(book.sheet(1).cell(1, 1).asText(), u"あ");
    EXPECT_EQ(book.sheet(1).cell(2, 1).asNumber(), 2.0);
}

TEST(ReadXlsFileTest, MissingFileIsFileNotFound) {
    test::TempDir dir;
    std::string description;
    EXPECT_EQ(ErrorNumberOf(dir / "none.xls", &description), ErrorNumber::FileNotFound);
    EXPECT_THAT(description, HasSubstr((dir / "none.xls").string()));
}

TEST(ReadXlsFileTest, MissingFolderIsPathNotFound) {
    test::TempDir dir;
    EXPECT_EQ(ErrorNumberOf(dir / "no" / "a.xls"), ErrorNumber::PathNotFound);
}

TEST(ReadXlsFileTest, FolderIsRefused) {
    test::TempDir dir;
    EXPECT_EQ(ErrorNumberOf(dir.path()), ErrorNumber::FileAccess);
}

TEST(ReadXlsFileTest, UnreadableFileIsPermissionDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any file; test_xls_reader_unprivileged runs this";
    }
    test::TempDir dir;
    test::WriteBytes(dir / "a.xls", {1, 2, 3});
    ::chmod((dir / "a.xls").c_str(), 0);
    EXPECT_EQ(ErrorNumberOf(dir / "a.xls"), ErrorNumber::PermissionDenied);
}

TEST(ReadXlsFileTest, ErrorsNameTheFile) {
    test::TempDir dir;
    test::WriteBytes(dir / "a.xlsx", {'P', 'K', 3, 4, 0, 0, 0, 0});
    std::string description;
    EXPECT_EQ(ErrorNumberOf(dir / "a.xlsx", &description), ErrorNumber::NotInExpectedFormat);
    EXPECT_THAT(description, HasSubstr("「" + (dir / "a.xlsx").string() +
                                       "」は Excel 97-2003 ブックではありません"));
    EXPECT_THAT(description, HasSubstr(".xlsx"));
}

} // namespace
} // namespace tomorine
