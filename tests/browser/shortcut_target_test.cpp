// Shortcut files as browsers, file managers and older tools write them, and
// files that only look like shortcuts.
#include "browser/shortcut_target.h"
#include "store/workbook/workbook_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

struct ReadCase {
    const char* name;
    const char* file;
    std::string bytes;
    std::u16string target; // expected when there is no error
    std::optional<WorkbookFault> error;
};

// "日本語" in CP932 and in UTF-7 (python3's codec), as browsers stored them.
const std::string kCp932Japanese = "\x93\xfa\x96\x7b\x8c\xea";
const std::string kUtf7Japanese = "+ZeVnLIqe-";
constexpr std::optional<WorkbookFault> kReads;
constexpr auto kNoTarget = WorkbookFault::NoShortcutTarget,
               kNotShortcut = WorkbookFault::NotShortcut;

const ReadCase kReadCases[] = {
    {"plain", "a.url", "[InternetShortcut]\r\nURL=http://a.jp/\r\n", u"http://a.jp/", kReads},
    {"names without case, blanks", "b.url",
     "[DEFAULT]\nBASEURL=http://other.jp/\n[internetshortcut]\n  url = http://b.jp/x \n",
     u"http://b.jp/x", kReads},
    {"cp932", "c.url", "[InternetShortcut]\r\nURL=http://c.jp/" + kCp932Japanese + "\r\n",
     u"http://c.jp/日本語", kReads},
    {"utf-8", "d.url", "[InternetShortcut]\nURL=http://d.jp/日本語\n", u"http://d.jp/日本語",
     kReads},
    {"utf-16 mark", "f.url", Utf16Le(u"[InternetShortcut]\r\nURL=http://f.jp/日本語\r\n"),
     u"http://f.jp/日本語", kReads},
    {"unicode section in utf-7", "g.url",
     "[InternetShortcut]\r\nURL=http://g.jp/???\r\n[InternetShortcut.W]\r\nURL=http://g.jp/" +
         kUtf7Japanese + "\r\n",
     u"http://g.jp/日本語", kReads},
    {"unicode section with a plain plus", "h.url",
     "[InternetShortcut]\nURL=http://h.jp/?q=a+bcd\n[InternetShortcut.W]\nURL=http://h.jp/"
     "?q=a+bcd\n",
     u"http://h.jp/?q=a+bcd", kReads},
    {"unicode section holding NUL", "nul.url",
     "[InternetShortcut]\nURL=http://n.jp/\n[InternetShortcut.W]\nURL=http://n.jp/+AAA-\n",
     u"http://n.jp/", kReads},
    {"unicode section in utf-8", "i.url",
     "[InternetShortcut]\nURL=http://i.jp/?\n[InternetShortcut.W]\nURL=http://i.jp/語\n",
     u"http://i.jp/語", kReads},
    {"apostrophe", "O'Reilly.url", "[InternetShortcut]\nURL=http://oreilly.jp/it's\n",
     u"http://oreilly.jp/it's", kReads},
    {"desktop link", "j.desktop", "[Desktop Entry]\nType=Link\nName=J\nURL=http://j.jp/a\\sb\n",
     u"http://j.jp/a b", kReads},
    {"empty url", "k.url", "[InternetShortcut]\nURL=\n", u"", kNoTarget},
    {"desktop application", "o.desktop", "[Desktop Entry]\nType=Application\nExec=o\n", u"",
     kNoTarget},
    {"binary", "p.url", std::string("[InternetShortcut]\nURL=http://p.jp/\n\0\x01\x02", 39), u"",
     kNotShortcut},
    {"not a shortcut name", "q.txt", "[InternetShortcut]\nURL=http://q.jp/\n", u"", kNotShortcut},
};

// The fault and description of reading the file; none when it reads.
std::pair<std::optional<WorkbookFault>, std::string> FailureOf(const std::filesystem::path& path) {
    try {
        ReadShortcutTarget(path);
    } catch (const WorkbookError& e) {
        return {e.fault(), e.what()};
    }
    return {std::nullopt, ""};
}

TEST(ShortcutRead, GivesTheTargetOrTheFault) {
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteText(dir / c.file, c.bytes);
        ShortcutCounters counters;
        EXPECT_EQ(GetShortcutTarget(dir / c.file, counters), c.target);
        EXPECT_EQ(counters.ShortcutErrorCount, c.error ? 1 : 0);
        EXPECT_EQ(counters.ShortcutNoTargetCount, c.error == kNoTarget ? 1 : 0);
        const auto [error, description] = FailureOf(dir / c.file);
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(!c.error || description.find(c.file) != std::string::npos) << description;
    }
}

// Names the file system refuses are bad calls; what is no shortcut file
// (a pipe, a multi-megabyte file) fails without waiting.
TEST(ShortcutFailure, CountedByKind) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.url");
    ASSERT_EQ(mkfifo((dir / "pipe.url").c_str(), 0600), 0);
    WriteText(dir / "big.url",
              "[InternetShortcut]\nURL=http://big.jp/\n" + std::string(3 << 20, 'z'));
    const std::pair<std::string, WorkbookFault> cases[] = {
        {std::string(300, 'x') + ".url", WorkbookFault::PathRefused},
        {"missing.url", WorkbookFault::FileNotFound},
        {"folder.url", WorkbookFault::NotShortcut},
        {"pipe.url", WorkbookFault::NotShortcut},
        {"big.url", WorkbookFault::NotShortcut},
    };
    ShortcutCounters counters;
    for (const auto& [name, error] : cases) {
        GetShortcutTarget(dir / name, counters);
        EXPECT_EQ(FailureOf(dir / name).first, error) << name.substr(0, 20);
    }
    EXPECT_EQ(counters.ShortcutBadCallCount, 1);
    EXPECT_EQ(counters.ShortcutErrorCount, 5);
    EXPECT_EQ(counters.ShortcutNoTargetCount, 0);
}

} // namespace
