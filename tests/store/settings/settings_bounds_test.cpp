// Settings files that are not regular files or are over 1 MB: refused with a
// notice naming them, defaults used, and never written over; start-up reads
// what the document that writes the file reads.
#include "store/settings/ini_document.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Up to the bound a file is read, and the file beside the data file it names
// gives the other three settings.
TEST(SettingsBounds, RefusedFilesGiveDefaultsANoticeAndStayAsTheyAre) {
    using test::Hostile;
    const struct {
        Hostile kind;
        std::uintmax_t bytes;
    } cases[] = {{Hostile::Fifo, 0},
                 {Hostile::DevZero, 0},
                 {Hostile::Folder, 0},
                 {Hostile::Huge, kMaxSettingsFileBytes + 1},
                 {Hostile::Huge, test::kHugeBytes},
                 {Hostile::Huge, kMaxSettingsFileBytes}};
    for (const auto& [kind, bytes] : cases) {
        SCOPED_TRACE(std::string(test::HostileName(kind)) + " " + std::to_string(bytes));
        const bool read = bytes == kMaxSettingsFileBytes;
        TempDir dir;
        fs::create_directory(dir / "data");
        const std::string appDir = (dir.path() / "").string();
        const std::string dataFile = (dir.path() / "data" / "d.xls").string();
        const std::string other =
            "\xEF\xBB\xBF"
            "[トモリネ]\r\nOUTPUTFILE=/o.html\r\nCOMMOUT=1\r\nREFERFILE=/r.xls\r\n";
        test::WriteBytes(dir / "data" / "トモリネ.ini", {other.begin(), other.end()});
        const fs::path ini = dir / "トモリネ.ini";
        test::MakeHostile(kind, ini, bytes,
                          "\xEF\xBB\xBF[トモリネ]\r\nDATAFILE=" + dataFile + "\r\n");
        const std::string before = test::Fingerprint(ini);

        const StartupSettings settings = ReadStartupSettings(appDir);
        EXPECT_EQ(settings.dataFile, read ? dataFile : appDir + "トモリネ.xls");
        EXPECT_EQ(settings.outputFile, read ? "/o.html" : "");
        EXPECT_EQ(settings.commentOutput, read ? 1 : 0);
        EXPECT_EQ(settings.referFile, read ? "/r.xls" : "");
        ASSERT_EQ(settings.notices.size(), read ? 0u : 1u) << "one per refused file";
        if (!read) {
            EXPECT_NE(settings.notices[0].find(ini.string()), std::string::npos);
            EXPECT_NE(settings.notices[0].find("既定の値"), std::string::npos);
        }
        if (!read && test::MayWriteAt(kind)) {
            EXPECT_FALSE(WriteIniString(ini, "トモリネ", "DATAFILE", "/new.xls"));
            SettingsValues values{"/new.xls", "", "", 1};
            EXPECT_FALSE(SaveSettings(values, ini, ini));
        }
        EXPECT_EQ(test::Fingerprint(ini), before);
    }
}

// Start-up reads values straight from the bytes; they are the values the
// document that writes the file sees.
TEST(SettingsBounds, LookupReadsWhatTheDocumentReads) {
    const std::string docs[] = {
        "[s]\r\nk=1\r\n[t]\r\nk=2\r\n[S]\r\nj= \"q \" \r\n",
        "; c\n[ s ]\nK = v\nk=w\n[s]\nk=x\nj\n",
        "\xEF\xBB\xBF[s]\nk=表\r\nj='x'",
        "[s]\r\nk=\x95\x5C\x83\x67\r\n[\x83\x67]\r\nk=\x81",
        "k=outside\n[s]\n=no key\nk",
    };
    for (const std::string& doc : docs) {
        for (const char* section : {"s", "t", "ト"}) {
            for (const char* key : {"k", "j", "K"}) {
                EXPECT_EQ(IniDocument::lookup(doc, section, key),
                          IniDocument::parse(doc).value(section, key))
                    << doc << " [" << section << "] " << key;
            }
        }
    }
}

} // namespace
} // namespace tomorine
