#include "store/settings/path_routines.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;

struct SplitCase {
    std::string path;
    std::string first;  // folder, or base name
    std::string second; // file name, or extension
};

std::ostream& operator<<(std::ostream& os, const SplitCase& c) {
    return os << '"' << c.path << '"';
}

class GetFolderPartOf : public testing::TestWithParam<SplitCase> {};

TEST_P(GetFolderPartOf, UpToTheLastSlash) {
    EXPECT_EQ(GetFolderPart(GetParam().path), GetParam().first);
}

INSTANTIATE_TEST_SUITE_P(Table, GetFolderPartOf,
                         testing::Values(SplitCase{"", "", ""}, SplitCase{"x.xls", "", ""},
                                         SplitCase{"/home/u/x.xls", "/home/u/", ""},
                                         SplitCase{"/x.xls", "/", ""},
                                         SplitCase{"/home/u/", "/home/u/", ""},
                                         SplitCase{"./x.xls", "./", ""}));

class SplitFilePathOf : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitFilePathOf, SplitsAtTheLastSlash) {
    FilePathParts parts = SplitFilePath(GetParam().path);
    EXPECT_EQ(parts.folder, GetParam().first);
    EXPECT_EQ(parts.fileName, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitFilePathOf,
    testing::Values(SplitCase{"", "", ""}, SplitCase{"x.xls", "", ""}, SplitCase{"/x.xls", "", ""},
                    SplitCase{"/", "", ""}, SplitCase{"dir/x.xls", "", ""},
                    SplitCase{"./x.xls", "./", "x.xls"}, SplitCase{"../x.xls", "../", "x.xls"},
                    SplitCase{"./", "./", ""}, SplitCase{"../../x", "../../", "x"},
                    SplitCase{"/home/u/x.xls", "/home/u/", "x.xls"},
                    SplitCase{"/home/u/", "/home/u/", ""},
                    SplitCase{"/表/ソ.xls", "/表/", "ソ.xls"}));

class SplitFileExtensionOf : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitFileExtensionOf, SplitsAtTheLastDot) {
    FileNameParts parts = SplitFileExtension(GetParam().path);
    EXPECT_EQ(parts.baseName, GetParam().first);
    EXPECT_EQ(parts.extension, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Table, SplitFileExtensionOf,
                         testing::Values(SplitCase{"a.b.xls", "a.b", "xls"},
                                         SplitCase{"noext", "", ""}, SplitCase{"", "", ""},
                                         SplitCase{".ini", "", "ini"}, SplitCase{"a.", "a", ""},
                                         SplitCase{"トモリネ.xls", "トモリネ", "xls"}));

class GetAbsolutePathOf : public testing::TestWithParam<SplitCase> {
protected:
    void SetUp() override {
        saved_ = fs::current_path();
        fs::create_directory(dir_ / "cwd");
        fs::current_path(dir_ / "cwd");
    }
    void TearDown() override { fs::current_path(saved_); }

private:
    fs::path saved_;
    test::TempDir dir_;
};

// second: expected text, "@" standing for the current folder and "^" for
// the folder above it.
TEST_P(GetAbsolutePathOf, NormalFormAgainstTheCurrentFolder) {
    std::string expected = GetParam().second;
    if (size_t at = expected.find('@'); at != std::string::npos) {
        expected.replace(at, 1, fs::current_path().string());
    }
    if (size_t at = expected.find('^'); at != std::string::npos) {
        expected.replace(at, 1, fs::current_path().parent_path().string());
    }
    EXPECT_EQ(GetAbsolutePath(GetParam().path), expected);
}

INSTANTIATE_TEST_SUITE_P(Table, GetAbsolutePathOf,
                         testing::Values(SplitCase{"", "", ""}, SplitCase{"x.xls", "", "@/x.xls"},
                                         SplitCase{"./a/../表.xls", "", "@/表.xls"},
                                         SplitCase{"../x.xls", "", "^/x.xls"},
                                         SplitCase{"/a/./b/../c.xls", "", "/a/c.xls"},
                                         SplitCase{"/a//b.xls", "", "/a/b.xls"},
                                         SplitCase{"/..", "", "/"}, SplitCase{"/a/b/", "", "/a/b/"},
                                         SplitCase{"missing/x", "", "@/missing/x"}));

} // namespace
} // namespace tomorine
