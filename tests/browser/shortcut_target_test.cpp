// Shortcut files as browsers, file managers and older tools write them, and look-alikes.
#include "browser/shortcut_target.h"
#include "store/workbook/workbook_error.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

using namespace tomorine;
using namespace tomorine::test;

// A shortcut with the URL, and a Unicode section when `unicode` is given.
static std::string Url(const std::string& url, const char* unicode = nullptr) {
    return "[InternetShortcut]\nURL=" + url + "\n" +
           (unicode ? "[InternetShortcut.W]\nURL=" + std::string(unicode) + "\n" : "");
}

TEST(ShortcutRead, GivesTheTargetOrTheFault) {
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : std::u16string_view(u"[InternetShortcut]\r\nURL=http://f.jp/日本語\r\n")) {
        utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    }
    const std::string long300 = std::string(300, 'x') + ".url";
    constexpr std::optional<WorkbookFault> kReads;
    constexpr auto kNoTarget = WorkbookFault::NoShortcutTarget,
                   kNotShortcut = WorkbookFault::NotShortcut;
    const struct {
        const char* file;
        std::string bytes;
        std::u16string target; // expected when there is no fault
        std::optional<WorkbookFault> error;
    } cases[] = {
        {"b.url", "[DEFAULT]\nBASEURL=http://c.jp/\n[internetshortcut]\n  url = http://b.jp/x \n",
         u"http://b.jp/x", kReads},
        {"f.url", utf16, u"http://f.jp/日本語", kReads},
        // The Unicode section in UTF-7 (a plain '+' and a NUL kept out) or UTF-8.
        {"g.url", Url("http://g.jp/???", "http://g.jp/+ZeVnLIqe-"), u"http://g.jp/日本語", kReads},
        {"h.url", Url("http://h.jp/?q=a+bcd", "http://h.jp/?q=a+bcd"), u"http://h.jp/?q=a+bcd",
         kReads},
        {"nul.url", Url("http://n.jp/", "http://n.jp/+AAA-"), u"http://n.jp/", kReads},
        {"i.url", Url("http://i.jp/?", "http://i.jp/語"), u"http://i.jp/語", kReads},
        {"j.desktop", "[Desktop Entry]\nType=Link\nName=J\nURL=http://j.jp/a\\sb\n",
         u"http://j.jp/a b", kReads},
        {"o.desktop", "[Desktop Entry]\nType=Application\nExec=o\n", u"", kNoTarget},
        {"p.url", Url("http://p.jp/") + std::string("\0\x01\x02", 3), u"", kNotShortcut},
        {"q.txt", Url("http://q.jp/"), u"", kNotShortcut},
        // What is no shortcut file fails without waiting; a name the file
        // system refuses is a bad call.
        {"big.url", Url("http://big.jp/") + std::string(3 << 20, 'z'), u"", kNotShortcut},
        {"folder.url", "<folder>", u"", kNotShortcut},
        {"pipe.url", "<fifo>", u"", kNotShortcut},
        {"missing.url", "<missing>", u"", WorkbookFault::FileNotFound},
        {long300.c_str(), "<missing>", u"", WorkbookFault::PathRefused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file).substr(0, 20));
        TempDir dir;
        if (c.bytes == "<fifo>" || c.bytes == "<folder>") {
            MakeHostile(c.bytes == "<fifo>" ? Hostile::Fifo : Hostile::Folder, dir / c.file);
        } else if (c.bytes != "<missing>") {
            WriteText(dir / c.file, c.bytes);
        }
        ShortcutCounters counters;
        EXPECT_EQ(GetShortcutTarget(dir / c.file, counters), c.target);
        EXPECT_EQ(counters.shortcutErrorCount, c.error ? 1 : 0);
        EXPECT_EQ(counters.shortcutNoTargetCount, c.error == kNoTarget ? 1 : 0);
        EXPECT_EQ(counters.shortcutBadCallCount, c.error == WorkbookFault::PathRefused ? 1 : 0);
        try {
            ReadShortcutTarget(dir / c.file);
            EXPECT_FALSE(c.error);
        } catch (const WorkbookError& e) {
            EXPECT_EQ(e.fault(), c.error);
            EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << e.what();
        }
    }
}
