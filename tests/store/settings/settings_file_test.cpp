#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string ReadText(const fs::path& path) {
    std::vector<std::uint8_t> bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class SaveSettingsTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(dir / "app");
        fs::create_directory(dir / "data");
        values.dataFile = dataDir() + "予定表.xls";
        values.outputFile = "/home/user/ソース一覧.html";
        values.referFile = "/mnt/ソ/表.xls";
        values.commentOutput = 1;
    }

    std::string appDir() const { return (dir / "app").string() + "/"; }
    std::string dataDir() const { return (dir / "data").string() + "/"; }

    // What the Windows program writes into a new file, in CP932.
    std::string expectedFile() const {
        return "[\x83g\x83\x82\x83\x8A\x83l]\r\n"
               "DATAFILE=" +
               dataDir() +
               "\x97\x5C\x92\xE8\x95\x5C.xls\r\n"
               "COMMOUT=1\r\n"
               "OUTPUTFILE=/home/user/\x83\x5C\x81[\x83X\x88\xEA\x97\x97.html\r\n"
               "REFERFILE=/mnt/\x83\x5C/\x95\x5C.xls\r\n";
    }

    TempDir dir;
    SettingsValues values;
};

TEST_F(SaveSettingsTest, BothFoldersHoldTheSameFourValues) {
    const std::string appIni = appDir() + "トモリネ.ini";
    EXPECT_TRUE(SaveSettings(values, appIni, GetIniPath(values.dataFile)));

    EXPECT_EQ(ReadText(appIni), expectedFile());
    EXPECT_EQ(ReadText(dataDir() + "トモリネ.ini"), expectedFile());
    EXPECT_EQ(ReadDataFileSetting(appDir()), values.dataFile);
    const std::string dataIni = GetIniPath(ReadDataFileSetting(appDir()));
    EXPECT_EQ(ReadIniString(dataIni, kSettingsSection, kOutputFileKey, "", 256), values.outputFile);
    EXPECT_EQ(ReadIniString(dataIni, kSettingsSection, kReferFileKey, "", 256), values.referFile);
    EXPECT_EQ(ReadIniInt(dataIni, kSettingsSection, kCommentOutputKey, 0), 1);
}

TEST_F(SaveSettingsTest, DataFileInProgramFolderSharesOneFile) {
    values.dataFile = appDir() + "予定表.xls";
    const std::string appIni = appDir() + "トモリネ.ini";
    ASSERT_EQ(GetIniPath(values.dataFile), appIni);
    EXPECT_TRUE(SaveSettings(values, appIni, appIni));

    std::string expected = expectedFile();
    expected.replace(expected.find(dataDir()), dataDir().size(), appDir());
    EXPECT_EQ(ReadText(appIni), expected);
    EXPECT_FALSE(fs::exists(dataDir() + "トモリネ.ini"));
}

TEST_F(SaveSettingsTest, MissingDataFolderIsReportedAndTheOtherFileStillWritten) {
    values.dataFile = (dir / "gone").string() + "/予定表.xls";
    const std::string appIni = appDir() + "トモリネ.ini";
    EXPECT_FALSE(SaveSettings(values, appIni, GetIniPath(values.dataFile)));

    EXPECT_EQ(ReadDataFileSetting(appDir()), values.dataFile);
    EXPECT_EQ(ReadIniString(appIni, kSettingsSection, kReferFileKey, "", 256), values.referFile);
    EXPECT_FALSE(fs::exists(dir / "gone"));
}

TEST_F(SaveSettingsTest, NoSettingsFilesGiveDefaults) {
    EXPECT_EQ(ReadDataFileSetting(appDir()), appDir() + "トモリネ.xls");
    const std::string dataIni = GetIniPath(ReadDataFileSetting(appDir()));
    EXPECT_EQ(ReadIniString(dataIni, kSettingsSection, kOutputFileKey, "", 256), "");
    EXPECT_EQ(ReadIniString(dataIni, kSettingsSection, kReferFileKey, "", 256), "");
    EXPECT_EQ(ReadIniInt(dataIni, kSettingsSection, kCommentOutputKey, 0), 0);
}

TEST(GetIniPath, SettingsFileBesideTheDataFile) {
    EXPECT_EQ(GetIniPath("/home/u/d.xls"), "/home/u/トモリネ.ini");
    EXPECT_EQ(GetIniPath("/d.xls"), "/トモリネ.ini");
    EXPECT_EQ(GetIniPath("d.xls"), "トモリネ.ini");
    EXPECT_EQ(GetIniPath(""), "トモリネ.ini");
}

} // namespace
} // namespace tomorine
