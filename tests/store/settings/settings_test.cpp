// The settings: INI files read, updated and written at shutdown; files that
// are no regular file or over the bound are refused and never written over.
#include "store/settings/ini_document.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "store/workbook/workbook_error.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(IniDocument, AWriteChangesOnlyItsKeyAndReadsBackOrIsRefused) {
    // before, key, value, after; all in section "s"
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {"", "k", "v", "[s]\r\nk=v\r\n"},
        {"[s]\nk=1\n\n; t\n[t]\nx=1\n", "j", "v", "[s]\nk=1\nj=v\n\n; t\n[t]\nx=1\n"},
        {"[S]\nDataFile=1\n", "DATAFILE", "2", "[S]\nDataFile=2\n"},
        // CP932 would give this back as another character: the file turns UTF-8.
        {"[a]\r\nk=\x95\x5C\r\n", "k", "/x/¥.xls",
         "\xEF\xBB\xBF[a]\r\nk=表\r\n[s]\r\nk=/x/¥.xls\r\n"}};
    for (const auto& [before, key, value, after] : cases) {
        IniDocument doc = IniDocument::parse(before);
        ASSERT_TRUE(doc.setValue("s", key, value)) << before;
        EXPECT_EQ(doc.bytes(), after);
    }
    IniDocument doc = IniDocument::parse("[s]\r\nk=1\r\n");
    EXPECT_FALSE(doc.setValue("s", "k", "a\nb"));
    EXPECT_FALSE(doc.setValue("s", "k=j", "v"));
    EXPECT_FALSE(doc.setValue("a]b", "k", "v"));
    EXPECT_EQ(doc.bytes(), "[s]\r\nk=1\r\n");
}

// A settings file as Windows writes it: CP932, CR LF, a comment, a second section,
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
    const std::string text = kWindowsHead + "DATAFILE=/home/user/\x97\x5C\x92\xE8\x95\x5C.xls\r\n" +
                             kWindowsMiddle + kWindowsTail;
    test::WriteBytes(file, std::vector<std::uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(ReadIniString(file, "トモリネ", "DATAFILE", "", 256), "/home/user/予定表.xls");
    EXPECT_EQ(ReadIniString(file, "トモリネ", "OUTPUTFILE", "", 256), "/home/user/ソース一覧.html");
    EXPECT_EQ(ReadIniString(file, "トモリネ", "REFERFILE", "none", 256), "none");
    EXPECT_EQ(ReadIniInt(file, "トモリネ", "COMMOUT", 0), 1);
    EXPECT_EQ(ReadIniString(file, "ツール", "NAME", "", 256), "髙橋");

    EXPECT_TRUE(WriteIniString(file, "トモリネ", "DATAFILE", "/home/user/表示/能力.xls"));
    EXPECT_TRUE(WriteIniString(file, "トモリネ", "REFERFILE", "/mnt/ソ/表.xls"));
    EXPECT_EQ(test::ReadText(file),
              kWindowsHead + "DATAFILE=/home/user/\x95\x5C\x8E\xA6/\x94\x5C\x97\xCD.xls\r\n" +
                  kWindowsMiddle + "REFERFILE=/mnt/\x83\x5C/\x95\x5C.xls\r\n" + kWindowsTail);
}

// Both files get the four values; a data folder that is gone only loses its own file.
TEST(SaveSettings, BothFilesHoldTheFourValuesInTheWindowsProgramsOrder) {
    TempDir dir;
    const std::string app = (dir / "app").string() + "/", data = (dir / "data").string() + "/";
    fs::create_directory(app), fs::create_directory(data);
    SettingsValues values{data + "予定表.xls", "/home/user/ソース一覧.html", "/mnt/ソ/表.xls", 1};
    SaveSettings(values, app + "トモリネ.ini", GetIniPath(values.dataFile));
    const std::string expected = "[\x83g\x83\x82\x83\x8A\x83l]\r\nDATAFILE=" + data +
                                 "\x97\x5C\x92\xE8\x95\x5C.xls\r\nCOMMOUT=1\r\n"
                                 "OUTPUTFILE=/home/user/\x83\x5C\x81[\x83X\x88\xEA\x97\x97.html\r\n"
                                 "REFERFILE=/mnt/\x83\x5C/\x95\x5C.xls\r\n";
    EXPECT_EQ(test::ReadText(app + "トモリネ.ini"), expected);
    EXPECT_EQ(test::ReadText(data + "トモリネ.ini"), expected);

    values.dataFile = (dir / "gone").string() + "/予定表.xls";
    EXPECT_THROW(SaveSettings(values, app + "トモリネ.ini", GetIniPath(values.dataFile)),
                 WorkbookError);
    EXPECT_EQ(ReadDataFileSetting(app), values.dataFile);
    EXPECT_FALSE(fs::exists(dir / "gone"));
}

// Up to the bound a file is read, and the file beside the data file it names
// gives the other three settings; one byte over, it is refused (which kinds of
// file are refused is ReadFileBytes' concern) and never written over.
TEST(SettingsBounds, RefusedFilesGiveDefaultsANoticeAndStayAsTheyAre) {
    for (const std::uintmax_t bytes : {kMaxSettingsFileBytes + 1, kMaxSettingsFileBytes}) {
        SCOPED_TRACE(bytes);
        const bool read = bytes == kMaxSettingsFileBytes;
        TempDir dir;
        const std::string appDir = (dir.path() / "").string();
        const std::string dataFile = (dir.path() / "data" / "d.xls").string();
        test::WriteText(
            dir / "data" / "トモリネ.ini",
            "\xEF\xBB\xBF[トモリネ]\r\nOUTPUTFILE=/o.html\r\nCOMMOUT=1\r\nREFERFILE=/r.xls\r\n");
        const fs::path ini = dir / "トモリネ.ini";
        test::MakeHostile(test::Hostile::Huge, ini, bytes,
                          "\xEF\xBB\xBF[トモリネ]\r\nDATAFILE=" + dataFile + "\r\n");
        const std::string before = test::Fingerprint(ini);

        const StartupSettings settings = ReadStartupSettings(appDir);
        EXPECT_EQ(settings.dataFile, read ? dataFile : appDir + "トモリネ.xls");
        EXPECT_EQ(settings.outputFile, read ? "/o.html" : "");
        EXPECT_EQ(settings.commentOutput, read);
        EXPECT_EQ(settings.referFile, read ? "/r.xls" : "");
        ASSERT_EQ(settings.notices.size(), read ? 0u : 1u) << "one per refused file";
        if (!read) {
            EXPECT_NE(settings.notices[0].find(ini.string()), std::string::npos);
            EXPECT_NE(settings.notices[0].find("既定の値"), std::string::npos);
            EXPECT_FALSE(WriteIniString(ini, "トモリネ", "DATAFILE", "/new.xls"));
            SettingsValues values{"/new.xls", "", "", 1};
            EXPECT_THROW(SaveSettings(values, ini, ini), WorkbookError);
        } else { // a save would split a hard-linked data file: said before it does
            test::WriteText(dataFile, "xls");
            fs::create_hard_link(dataFile, dir / "data" / "別名.xls");
            EXPECT_NE(ReadStartupSettings(appDir).notices.at(0).find("ハードリンク"),
                      std::string::npos);
        }
        EXPECT_EQ(test::Fingerprint(ini), before);
    }
}

} // namespace
} // namespace tomorine
