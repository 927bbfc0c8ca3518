// Settings files that are not regular files or are over 1 MB: refused with a
// notice naming them, defaults used, and never written over.
#include "store/settings/ini_document.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

enum class Kind { Fifo, DevZero, Folder, OverOneMegabyte, FiftyMegabytes };

void Make(Kind kind, const fs::path& path) {
    switch (kind) {
    case Kind::Fifo:
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        break;
    case Kind::DevZero:
        fs::create_symlink("/dev/zero", path);
        break;
    case Kind::Folder:
        fs::create_directory(path);
        break;
    case Kind::OverOneMegabyte:
    case Kind::FiftyMegabytes: {
        std::string text = "[トモリネ]\r\nDATAFILE=/elsewhere/x.xls\r\n";
        text.resize(kind == Kind::OverOneMegabyte ? kMaxSettingsFileBytes + 1 : 50 << 20, '\n');
        test::WriteBytes(path, {text.begin(), text.end()});
        break;
    }
    }
}

std::string Fingerprint(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return "missing";
    }
    return std::to_string(info.st_mode) + " " + std::to_string(info.st_size) + " " +
           std::to_string(info.st_ino) + " " + std::to_string(info.st_mtim.tv_nsec);
}

TEST(SettingsBounds, RefusedFilesGiveDefaultsANoticeAndStayAsTheyAre) {
    for (Kind kind :
         {Kind::Fifo, Kind::DevZero, Kind::Folder, Kind::OverOneMegabyte, Kind::FiftyMegabytes}) {
        SCOPED_TRACE(static_cast<int>(kind));
        TempDir dir;
        const std::string appDir = (dir.path() / "").string();
        const fs::path ini = dir / "トモリネ.ini";
        Make(kind, ini);
        const std::string before = Fingerprint(ini);

        const StartupSettings settings = ReadStartupSettings(appDir);
        EXPECT_EQ(settings.dataFile, appDir + "トモリネ.xls");
        EXPECT_EQ(settings.outputFile, "");
        EXPECT_EQ(settings.commentOutput, 0);
        ASSERT_EQ(settings.notices.size(), 1u) << "the file beside the data file is the same";
        EXPECT_NE(settings.notices[0].find(ini.string()), std::string::npos);
        EXPECT_NE(settings.notices[0].find("既定の値"), std::string::npos);

        // A /dev/zero link is written over only by a fault; keep root off it.
        if (kind != Kind::DevZero || ::geteuid() != 0) {
            EXPECT_FALSE(WriteIniString(ini, "トモリネ", "DATAFILE", "/new.xls"));
            SettingsValues values{"/new.xls", "", "", 1};
            EXPECT_FALSE(SaveSettings(values, ini, ini));
        }
        EXPECT_EQ(Fingerprint(ini), before);
    }
}

// Up to the bound a file is read, however it is filled; the file beside the
// data file gives the other three settings.
TEST(SettingsBounds, AFileOfExactlyOneMegabyteIsReadAndEachFileOnce) {
    TempDir dir;
    fs::create_directory(dir / "data");
    const std::string appDir = (dir.path() / "").string();
    const std::string dataFile = (dir.path() / "data" / "d.xls").string();
    std::string text(kMaxSettingsFileBytes, '\n');
    text.replace(0, 3, "\xEF\xBB\xBF"); // UTF-8, as the names below are
    const std::string tail = "[トモリネ]\r\nDATAFILE=" + dataFile + "\r\n";
    text.replace(text.size() - tail.size(), tail.size(), tail);
    test::WriteBytes(dir / "トモリネ.ini", {text.begin(), text.end()});
    const std::string other =
        "\xEF\xBB\xBF[トモリネ]\r\nOUTPUTFILE=/o.html\r\nCOMMOUT=1\r\nREFERFILE=/r.xls\r\n";
    test::WriteBytes(dir / "data" / "トモリネ.ini", {other.begin(), other.end()});

    const StartupSettings settings = ReadStartupSettings(appDir);
    EXPECT_EQ(settings.dataFile, dataFile);
    EXPECT_EQ(settings.outputFile, "/o.html");
    EXPECT_EQ(settings.commentOutput, 1);
    EXPECT_EQ(settings.referFile, "/r.xls");
    EXPECT_TRUE(settings.notices.empty());
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
