// The settings files: their INI layout, and the files on disk read, updated
// and written at shutdown.
#include "store/settings/ini_document.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(IniDocument, ReadsValuesAsTheWindowsReaderDoes) {
    // file, section, key, value (none: absent)
    const std::tuple<std::string, std::string, std::string, std::optional<std::string>> cases[] = {
        {"[Settings]\r\ndatafile=x\r\n", "SETTINGS", "DATAFILE", "x"},
        {"  [ s ]  \n  k  =  \" a b \" \t\nk=2", "s", "k", " a b "},
        {"k=0\n[a]\nk=1\n[s]\n;k=2\nk\n", "s", "k", std::nullopt},
        {"\xEF\xBB\xBF[s]\nk=𠮷¥\n", "s", "k", "𠮷¥"},
        {"[s]\nk=a\x80z\n", "s", "k", "a\uFFFDz"}};
    for (const auto& [file, section, key, value] : cases) {
        EXPECT_EQ(IniDocument::parse(file).value(section, key), value) << file;
    }
}

TEST(IniDocument, AWriteChangesOnlyItsKey) {
    // before, key, value, after; all in section "s"
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {"", "k", "v", "[s]\r\nk=v\r\n"},
        {"[s]\nk=1\n\n; t\n[t]\nx=1\n", "j", "v", "[s]\nk=1\nj=v\n\n; t\n[t]\nx=1\n"},
        {"[a]\r\nk=1", "j", "v", "[a]\r\nk=1\r\n[s]\r\nj=v\r\n"},
        {"[S]\nDataFile=1\n", "DATAFILE", "2", "[S]\nDataFile=2\n"},
        {"[s]\r\nk = v \r\n", "k", "v", "[s]\r\nk = v \r\n"},
        // CP932 would give these back as other characters: the file turns UTF-8.
        {"[a]\r\nk=\x95\x5C\r\n", "k", "/x/¥.xls",
         "\xEF\xBB\xBF[a]\r\nk=表\r\n[s]\r\nk=/x/¥.xls\r\n"},
        {"\xEF\xBB\xBF[s]\nk=1\n", "k", "表", "\xEF\xBB\xBF[s]\nk=表\n"}};
    for (const auto& [before, key, value, after] : cases) {
        IniDocument doc = IniDocument::parse(before);
        ASSERT_TRUE(doc.setValue("s", key, value)) << before;
        EXPECT_EQ(doc.bytes(), after);
    }
}

TEST(IniDocument, EveryValueReadsBackUnchanged) {
    for (std::string value : {"", " lead", "trail\t", "\"q\"", "'q'", "\"", "a=b", "x;y", "[z]",
                              "C:\\表\\ソ", "¥", "a−b", "ー[", "𠮷"}) {
        IniDocument doc = IniDocument::parse("[s]\r\nk=old\r\n");
        ASSERT_TRUE(doc.setValue("s", "k", value));
        EXPECT_EQ(IniDocument::parse(doc.bytes()).value("s", "k"), value);
    }
}

TEST(IniDocument, NamesAndValuesThatWouldBreakTheLinesAreRefused) {
    const std::string before = "[s]\r\nk=1\r\n";
    for (auto [section, key, value] :
         {std::tuple<std::string, std::string, std::string>{"s", "k", "a\nb"},
          {"s", "k", std::string("a\0b", 3)},
          {"s", "k=j", "v"},
          {"s", "", "v"},
          {"a]b", "k", "v"}}) {
        IniDocument doc = IniDocument::parse(before);
        EXPECT_FALSE(doc.setValue(section, key, value)) << section << " " << key;
        EXPECT_EQ(doc.bytes(), before);
    }
}

void WriteText(const fs::path& path, const std::string& bytes) {
    test::WriteBytes(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

std::string ReadText(const fs::path& path) {
    std::vector<std::uint8_t> bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Written by the Windows program: CP932, CR LF, a comment, a second section,
// "\" and "[" as second bytes of double-byte characters, and 0xEE 0xE0 (髙),
// a character CP932 has twice, which a re-encoding would change.
const std::string kWindowsHead = "; \x83g\x83\x82\x83\x8A\x83l\x82\xCC\x90\xDD\x92\xE8\r\n"
                                 "[\x83g\x83\x82\x83\x8A\x83l]\r\n";
const std::string kWindowsMiddle =
    "COMMOUT=1\r\n"
    "OUTPUTFILE=/home/user/\x83\x5C\x81[\x83X\x88\xEA\x97\x97.html\r\n";
const std::string kWindowsTail = ";REFERFILE=old\r\n\r\n[\x83"
                                 "c\x81[\x83\x8B]\r\nNAME=\xEE\xE0\x8B\xB4\r\n";

TEST(IniFunctions, AFileWrittenByWindowsIsReadAndUpdatedWithoutLosingAnything) {
    TempDir dir;
    const fs::path file = dir / "トモリネ.ini";
    WriteText(file, kWindowsHead + "DATAFILE=/home/user/\x97\x5C\x92\xE8\x95\x5C.xls\r\n" +
                        kWindowsMiddle + kWindowsTail);
    EXPECT_EQ(ReadIniString(file, "トモリネ", "DATAFILE", "", 256), "/home/user/予定表.xls");
    EXPECT_EQ(ReadIniString(file, "トモリネ", "OUTPUTFILE", "", 256), "/home/user/ソース一覧.html");
    EXPECT_EQ(ReadIniString(file, "トモリネ", "REFERFILE", "none", 256), "none");
    EXPECT_EQ(ReadIniInt(file, "トモリネ", "COMMOUT", 0), 1);
    EXPECT_EQ(ReadIniString(file, "ツール", "NAME", "", 256), "髙橋");

    EXPECT_TRUE(WriteIniString(file, "トモリネ", "DATAFILE", "/home/user/表示/能力.xls"));
    EXPECT_TRUE(WriteIniString(file, "トモリネ", "REFERFILE", "/mnt/ソ/表.xls"));
    EXPECT_EQ(ReadText(file),
              kWindowsHead + "DATAFILE=/home/user/\x95\x5C\x8E\xA6/\x94\x5C\x97\xCD.xls\r\n" +
                  kWindowsMiddle + "REFERFILE=/mnt/\x83\x5C/\x95\x5C.xls\r\n" + kWindowsTail);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "a temporary file left";
}

TEST(IniFunctions, ValuesAreCutToTheBufferButNeverInsideAPair) {
    TempDir dir;
    const fs::path file = dir / "トモリネ.ini";
    for (auto [value, buffer, read] :
         {std::tuple<std::u16string, int, std::u16string>{std::u16string(300, u'a'), 256,
                                                          std::u16string(255, u'a')},
          {std::u16string(300, u'表'), 256, std::u16string(255, u'表')},
          {u"a𠮷𠮷𠮷", 4, u"a𠮷"}}) {
        ASSERT_TRUE(WriteIniString(file, "トモリネ", "DATAFILE", ToUtf8(value)));
        EXPECT_EQ(ReadIniString(file, "トモリネ", "DATAFILE", "", buffer), ToUtf8(read));
    }
}

// A program folder and a data folder, and the four values with the data file
// in the data folder.
struct Folders {
    Folders() {
        fs::create_directory(app);
        fs::create_directory(data);
    }
    TempDir dir;
    std::string app = (dir / "app").string() + "/";
    std::string data = (dir / "data").string() + "/";
    SettingsValues values{data + "予定表.xls", "/home/user/ソース一覧.html", "/mnt/ソ/表.xls", 1};
};

TEST(SaveSettings, BothFoldersHoldTheSameFourValuesInTheWindowsProgramsOrder) {
    Folders f;
    EXPECT_TRUE(SaveSettings(f.values, f.app + "トモリネ.ini", GetIniPath(f.values.dataFile)));
    const std::string expected = "[\x83g\x83\x82\x83\x8A\x83l]\r\nDATAFILE=" + f.data +
                                 "\x97\x5C\x92\xE8\x95\x5C.xls\r\nCOMMOUT=1\r\n"
                                 "OUTPUTFILE=/home/user/\x83\x5C\x81[\x83X\x88\xEA\x97\x97.html\r\n"
                                 "REFERFILE=/mnt/\x83\x5C/\x95\x5C.xls\r\n";
    EXPECT_EQ(ReadText(f.app + "トモリネ.ini"), expected);
    EXPECT_EQ(ReadText(f.data + "トモリネ.ini"), expected);
    EXPECT_EQ(ReadDataFileSetting(f.app), f.values.dataFile);
}

TEST(SaveSettings, AMissingDataFolderIsReportedAndTheOtherFileStillWritten) {
    Folders f;
    f.values.dataFile = (f.dir / "gone").string() + "/予定表.xls";
    EXPECT_FALSE(SaveSettings(f.values, f.app + "トモリネ.ini", GetIniPath(f.values.dataFile)));
    EXPECT_EQ(ReadDataFileSetting(f.app), f.values.dataFile);
    EXPECT_EQ(ReadIniString(f.app + "トモリネ.ini", kSettingsSection, kReferFileKey, "", 256),
              f.values.referFile);
    EXPECT_FALSE(fs::exists(f.dir / "gone"));
}

TEST(SaveSettings, NoSettingsFilesGiveTheDefaults) {
    Folders f;
    EXPECT_EQ(ReadDataFileSetting(f.app), f.app + "トモリネ.xls");
    const std::string dataIni = GetIniPath(ReadDataFileSetting(f.app));
    EXPECT_EQ(ReadIniString(dataIni, kSettingsSection, kOutputFileKey, "", 256), "");
    EXPECT_EQ(ReadIniString(dataIni, kSettingsSection, kReferFileKey, "", 256), "");
    EXPECT_EQ(ReadIniInt(dataIni, kSettingsSection, kCommentOutputKey, 0), 0);
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(f.dir.path()), {}), 2);
}

} // namespace
} // namespace tomorine
