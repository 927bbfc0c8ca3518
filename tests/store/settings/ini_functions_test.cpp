#include "store/settings/ini_functions.h"
#include "support/temp_dir.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

void WriteText(const fs::path& path, const std::string& bytes) {
    test::WriteBytes(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

std::string ReadText(const fs::path& path) {
    std::vector<std::uint8_t> bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Every entry below the folder with its bytes ("/" for a folder).
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        std::string name = entry.path().lexically_relative(dir).string();
        entries[name] = entry.is_regular_file() ? ReadText(entry.path()) : "/";
    }
    return entries;
}

// Written by the Windows program: CP932, CR LF, a comment, a second section,
// "\" and "[" as second bytes of double-byte characters, and 0xEE 0xE0 (髙),
// a character CP932 has twice, which a re-encoding would change.
const std::string kWindowsHead = "; \x83g\x83\x82\x83\x8A\x83l\x82\xCC\x90\xDD\x92\xE8\r\n"
                                 "[\x83g\x83\x82\x83\x8A\x83l]\r\n";
const std::string kWindowsDataFile = "DATAFILE=/home/user/\x97\x5C\x92\xE8\x95\x5C.xls\r\n";
const std::string kWindowsMiddle =
    "COMMOUT=1\r\n"
    "OUTPUTFILE=/home/user/\x83\x5C\x81[\x83X\x88\xEA\x97\x97.html\r\n";
const std::string kWindowsTail = ";REFERFILE=old\r\n"
                                 "\r\n"
                                 "[\x83"
                                 "c\x81[\x83\x8B]\r\n"
                                 "NAME=\xEE\xE0\x8B\xB4\r\n";

TEST(IniFunctions, ReadsFileWrittenByWindows) {
    TempDir dir;
    const fs::path file = dir / "トモリネ.ini";
    WriteText(file, kWindowsHead + kWindowsDataFile + kWindowsMiddle + kWindowsTail);

    EXPECT_EQ(ReadIniString(file, "トモリネ", "DATAFILE", "", 256), "/home/user/予定表.xls");
    EXPECT_EQ(ReadIniString(file, "トモリネ", "OUTPUTFILE", "", 256), "/home/user/ソース一覧.html");
    EXPECT_EQ(ReadIniString(file, "トモリネ", "REFERFILE", "none", 256), "none");
    EXPECT_EQ(ReadIniInt(file, "トモリネ", "COMMOUT", 0), 1);
    EXPECT_EQ(ReadIniString(file, "ツール", "NAME", "", 256), "髙橋");
}

TEST(IniFunctions, UpdatesFileWrittenByWindowsKeepingTheRest) {
    TempDir dir;
    const fs::path file = dir / "トモリネ.ini";
    WriteText(file, kWindowsHead + kWindowsDataFile + kWindowsMiddle + kWindowsTail);

    EXPECT_TRUE(WriteIniString(file, "トモリネ", "DATAFILE", "/home/user/表示/能力.xls"));
    EXPECT_TRUE(WriteIniString(file, "トモリネ", "REFERFILE", "/mnt/ソ/表.xls"));

    EXPECT_EQ(ReadText(file),
              kWindowsHead + "DATAFILE=/home/user/\x95\x5C\x8E\xA6/\x94\x5C\x97\xCD.xls\r\n" +
                  kWindowsMiddle + "REFERFILE=/mnt/\x83\x5C/\x95\x5C.xls\r\n" + kWindowsTail);
    EXPECT_EQ(Snapshot(dir.path()).size(), 1u) << "a temporary file was left behind";
}

TEST(IniFunctions, MissingFileOrKeyGivesDefaults) {
    TempDir dir;
    for (const fs::path& file : {dir / "トモリネ.ini", dir / "none" / "トモリネ.ini"}) {
        EXPECT_EQ(ReadIniString(file, "トモリネ", "OUTPUTFILE", "", 256), "");
        EXPECT_EQ(ReadIniString(file, "トモリネ", "DATAFILE", "/d/x.xls", 256), "/d/x.xls");
        EXPECT_EQ(ReadIniInt(file, "トモリネ", "COMMOUT", 0), 0);
    }
    EXPECT_TRUE(Snapshot(dir.path()).empty());
}

struct CutCase {
    const char* name;
    std::string value;
    int bufferSize;
    std::string expected;
};

void PrintTo(const CutCase& c, std::ostream* os) {
    *os << c.name;
}

class IniCut : public testing::TestWithParam<CutCase> {};

TEST_P(IniCut, ValueIsCutToTheBuffer) {
    TempDir dir;
    const fs::path file = dir / "トモリネ.ini";
    ASSERT_TRUE(WriteIniString(file, "トモリネ", "DATAFILE", GetParam().value));
    EXPECT_EQ(ReadIniString(file, "トモリネ", "DATAFILE", "", GetParam().bufferSize),
              GetParam().expected);
}

std::string Repeat(const std::string& unit, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        out += unit;
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniCut,
    testing::Values(CutCase{"Ascii300", Repeat("a", 300), 256, Repeat("a", 255)},
                    CutCase{"Japanese300", Repeat("表", 300), 256, Repeat("表", 255)},
                    CutCase{"Exactly255", Repeat("x", 255), 256, Repeat("x", 255)},
                    CutCase{"Exactly256", Repeat("x", 256), 256, Repeat("x", 255)},
                    CutCase{"NoHalfSurrogatePair", "a" + Repeat("𠮷", 3), 4, "a𠮷"},
                    CutCase{"BufferOfOne", "abc", 1, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct IntCase {
    const char* name;
    std::optional<std::string> line; // absent: no such key
    std::int32_t expected;
};

void PrintTo(const IntCase& c, std::ostream* os) {
    *os << c.name;
}

class IniInt : public testing::TestWithParam<IntCase> {};

TEST_P(IniInt, ReadsLikeTheWindowsIntegerReader) {
    TempDir dir;
    const fs::path file = dir / "トモリネ.ini";
    WriteText(file, "[s]\r\n" + GetParam().line.value_or("other=1") + "\r\n");
    EXPECT_EQ(ReadIniInt(file, "s", "k", 7), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniInt,
    testing::Values(IntCase{"One", "k=1", 1}, IntCase{"Absent", {}, 7}, IntCase{"Empty", "k=", 7},
                    IntCase{"NotANumber", "k=abc", 0}, IntCase{"Negative", "k=-1", -1},
                    IntCase{"Plus", "k=+5", 5}, IntCase{"TrailingText", "k=12x", 12},
                    IntCase{"Blanks", "k=  3  ", 3}, IntCase{"Quoted", "k=\"4\"", 4},
                    IntCase{"WrapsTo32Bits", "k=4294967297", 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct UnwritableCase {
    const char* name;
    std::function<fs::path(const TempDir&)> prepare; // returns the settings file
};

void PrintTo(const UnwritableCase& c, std::ostream* os) {
    *os << c.name;
}

class IniUnwritable : public testing::TestWithParam<UnwritableCase> {};

TEST_P(IniUnwritable, FailsAndLeavesNothingBehind) {
    TempDir dir;
    const fs::path file = GetParam().prepare(dir);
    const auto before = Snapshot(dir.path());
    EXPECT_FALSE(WriteIniString(file, "トモリネ", "DATAFILE", "/x.xls"));
    EXPECT_EQ(Snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniUnwritable,
    testing::Values(UnwritableCase{"MissingFolder",
                                   [](const TempDir& d) { return d / "missing" / "トモリネ.ini"; }},
                    UnwritableCase{"ParentIsAFile",
                                   [](const TempDir& d) {
                                       WriteText(d / "file", "x");
                                       return d / "file" / "トモリネ.ini";
                                   }},
                    UnwritableCase{"FileIsAFolder",
                                   [](const TempDir& d) {
                                       fs::create_directory(d / "トモリネ.ini");
                                       WriteText(d / "トモリネ.ini" / "inside", "x");
                                       return d / "トモリネ.ini";
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniFunctions, KeepsPermissionsAndFollowsSymbolicLink) {
    TempDir dir;
    const fs::path real = dir / "real.ini";
    const fs::path link = dir / "トモリネ.ini";
    WriteText(real, "[s]\nk=1\n");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink(real, link);

    EXPECT_TRUE(WriteIniString(link, "s", "k", "2"));

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadText(real), "[s]\nk=2\n");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
    EXPECT_EQ(Snapshot(dir.path()).size(), 2u);
}

} // namespace
} // namespace tomorine
