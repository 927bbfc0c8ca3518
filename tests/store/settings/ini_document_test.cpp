#include "store/settings/ini_document.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

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

} // namespace
} // namespace tomorine
