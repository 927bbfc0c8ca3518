// The settings: INI files read, updated and written at shutdown, the path
// routines and the program folder.
#include "store/settings/app_dir.h"
#include "store/settings/ini_document.h"
#include "store/settings/ini_functions.h"
#include "store/settings/path_routines.h"
#include "store/settings/settings_file.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>

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
    for (std::string value :
         {"", " lead", "trail\t", "\"q\"", "\"", "a=b", "x;y", "ー[", "a−b", "𠮷"}) {
        IniDocument doc = IniDocument::parse("[s]\r\nk=old\r\n");
        ASSERT_TRUE(doc.setValue("s", "k", value));
        EXPECT_EQ(IniDocument::parse(doc.bytes()).value("s", "k"), value);
    }
    IniDocument doc = IniDocument::parse("[s]\r\nk=1\r\n");
    EXPECT_FALSE(doc.setValue("s", "k", "a\nb"));
    EXPECT_FALSE(doc.setValue("s", "k=j", "v"));
    EXPECT_FALSE(doc.setValue("a]b", "k", "v"));
    EXPECT_EQ(doc.bytes(), "[s]\r\nk=1\r\n");
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
    EXPECT_EQ(ReadText(file),
              kWindowsHead + "DATAFILE=/home/user/\x95\x5C\x8E\xA6/\x94\x5C\x97\xCD.xls\r\n" +
                  kWindowsMiddle + "REFERFILE=/mnt/\x83\x5C/\x95\x5C.xls\r\n" + kWindowsTail);
}

TEST(IniFunctions, ValuesAreCutToTheBufferButNeverInsideAPair) {
    TempDir dir;
    const fs::path file = dir / "トモリネ.ini";
    for (auto [value, buffer, read] :
         {std::tuple<std::u16string, int, std::u16string>{std::u16string(300, u'表'), 256,
                                                          std::u16string(255, u'表')},
          {u"a𠮷𠮷𠮷", 4, u"a𠮷"}}) {
        ASSERT_TRUE(WriteIniString(file, "トモリネ", "DATAFILE", ToUtf8(value)));
        EXPECT_EQ(ReadIniString(file, "トモリネ", "DATAFILE", "", buffer), ToUtf8(read));
    }
}

// Both files get the four values; a data folder that is gone only loses its
// own file.
TEST(SaveSettings, BothFilesHoldTheFourValuesInTheWindowsProgramsOrder) {
    TempDir dir;
    const std::string app = (dir / "app").string() + "/", data = (dir / "data").string() + "/";
    fs::create_directory(app);
    fs::create_directory(data);
    SettingsValues values{data + "予定表.xls", "/home/user/ソース一覧.html", "/mnt/ソ/表.xls", 1};
    EXPECT_TRUE(SaveSettings(values, app + "トモリネ.ini", GetIniPath(values.dataFile)));
    const std::string expected = "[\x83g\x83\x82\x83\x8A\x83l]\r\nDATAFILE=" + data +
                                 "\x97\x5C\x92\xE8\x95\x5C.xls\r\nCOMMOUT=1\r\n"
                                 "OUTPUTFILE=/home/user/\x83\x5C\x81[\x83X\x88\xEA\x97\x97.html\r\n"
                                 "REFERFILE=/mnt/\x83\x5C/\x95\x5C.xls\r\n";
    EXPECT_EQ(ReadText(app + "トモリネ.ini"), expected);
    EXPECT_EQ(ReadText(data + "トモリネ.ini"), expected);

    values.dataFile = (dir / "gone").string() + "/予定表.xls";
    EXPECT_FALSE(SaveSettings(values, app + "トモリネ.ini", GetIniPath(values.dataFile)));
    EXPECT_EQ(ReadDataFileSetting(app), values.dataFile);
    EXPECT_FALSE(fs::exists(dir / "gone"));
}

std::string Split(std::string_view path) {
    FilePathParts parts = SplitFilePath(path);
    return parts.folder + "|" + parts.fileName;
}

std::string Extension(std::string_view name) {
    FileNameParts parts = SplitFileExtension(name);
    return parts.baseName + "|" + parts.extension;
}

// "/x.xls" is a file in the root folder: no folder and no file name.
TEST(PathRoutines, SplitAndNormaliseAsTheSettingsRulesSay) {
    const std::string cwd = fs::current_path().string();
    const std::tuple<std::function<std::string(std::string_view)>, std::string, std::string>
        cases[] = {{GetFolderPart, "x.xls", ""},
                   {Split, "/x.xls", "|"},
                   {Split, "dir/x.xls", "|"},
                   {Split, "../x.xls", "../|x.xls"},
                   {Split, "/home/u/", "/home/u/|"},
                   {Extension, "a.b.xls", "a.b|xls"},
                   {Extension, "noext", "|"},
                   {Extension, ".ini", "|ini"},
                   {GetIniPath, "/home/u/d.xls", "/home/u/トモリネ.ini"},
                   {GetAbsolutePath, "", ""},
                   {GetAbsolutePath, "./a/../表.xls", cwd + "/表.xls"},
                   {GetAbsolutePath, "/a//b/./../c.xls", "/a/c.xls"},
                   {GetAbsolutePath, "/..", "/"}};
    for (const auto& [routine, path, expected] : cases) {
        EXPECT_EQ(routine(path), expected) << path;
    }
}

// Run in a folder of its own, with the environment put back afterwards. The
// folder is fixed by the first call: a later change of the environment does
// not move it.
TEST(AppDir, ComesFromTheEnvironmentAndIsCreated) {
    using Env = std::optional<std::string>;
    const fs::path cwd = fs::current_path();
    std::map<std::string, Env> saved;
    for (const char* name : {"TOMORINE_HOME", "XDG_DATA_HOME", "HOME"}) {
        saved[name] = std::getenv(name) ? Env(std::getenv(name)) : std::nullopt;
    }
    TempDir dir;
    fs::current_path(dir.path());
    const std::string d = fs::current_path().string();
    for (auto [tomorineHome, xdgDataHome, expected] :
         {std::tuple<Env, Env, std::string>{d + "/th/", d + "/xdg", d + "/th/"},
          {"rel/./th", std::nullopt, d + "/rel/th/"},
          {"", d + "/xdg", d + "/xdg/tomorine/"},
          {std::nullopt, "xdg", d + "/home/.local/share/tomorine/"}}) { // relative: ignored
        for (auto [name, value] : {std::pair{"TOMORINE_HOME", tomorineHome},
                                   {"XDG_DATA_HOME", xdgDataHome},
                                   {"HOME", Env(d + "/home")}}) {
            value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
        }
        ResetAppDirCache();
        EXPECT_EQ(GetAppDir(), expected);
        EXPECT_TRUE(fs::is_directory(GetAppDir()));
    }
    ::setenv("TOMORINE_HOME", "/other", 1);
    EXPECT_EQ(GetAppDir(), d + "/home/.local/share/tomorine/");

    for (const auto& [name, value] : saved) {
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    fs::current_path(cwd);
    ResetAppDirCache();
}

} // namespace
} // namespace tomorine
