#include "store/settings/ini_document.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

struct ReadCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class IniRead : public testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, FindsValueAsWindowsReaderDoes) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(IniDocument::parse(c.file).value(c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniRead,
    testing::Values(ReadCase{"KeyCaseIgnored", "[s]\r\ndatafile=x\r\n", "s", "DATAFILE", "x"},
                    ReadCase{"SectionCaseIgnored", "[Settings]\nk=v\n", "SETTINGS", "k", "v"},
                    ReadCase{"BlanksTrimmed", "[s]\r\n  k  =  a b \t\r\n", "s", "k", "a b"},
                    ReadCase{"DoubleQuotesDropped", "[s]\nk=\" a \"\n", "s", "k", " a "},
                    ReadCase{"SingleQuotesDropped", "[s]\nk='x'\n", "s", "k", "x"},
                    ReadCase{"UnmatchedQuoteKept", "[s]\nk=\"x'\n", "s", "k", "\"x'"},
                    ReadCase{"LoneQuoteKept", "[s]\nk=\"\n", "s", "k", "\""},
                    ReadCase{"EmptyValueIsAValue", "[s]\nk=\n", "s", "k", ""},
                    ReadCase{"FirstOfTwoKeys", "[s]\nk=1\nk=2\n", "s", "k", "1"},
                    ReadCase{"KeyOfOtherSection", "[a]\nk=1\n[s]\nj=2\n", "s", "k", std::nullopt},
                    ReadCase{"KeyBeforeAnySection", "k=1\n[s]\n", "s", "k", std::nullopt},
                    ReadCase{"CommentIsNoKey", "[s]\n;k=1\n", "s", "k", std::nullopt},
                    ReadCase{"LineWithoutEquals", "[s]\nk\n", "s", "k", std::nullopt},
                    ReadCase{"NoSuchSection", "[a]\nk=1\n", "s", "k", std::nullopt},
                    ReadCase{"HeaderWithBlanksNoFinalNewline", "  [ s ]  \nk=1", "s", "k", "1"},
                    ReadCase{"SecondSectionOfSameName", "[s]\na=1\n[t]\n[S]\nk=2\n", "s", "k", "2"},
                    ReadCase{"Utf8WithBom", "\xEF\xBB\xBF[s]\nk=𠮷¥\n", "s", "k", "𠮷¥"},
                    ReadCase{"Cp932TrailByte5C", "[s]\r\nk=\x95\x5C\r\n", "s", "k", "表"},
                    ReadCase{"Cp932TrailByteBracketInHeader",
                             "[\x83"
                             "c\x81[\x83\x8B]\nk=1\n",
                             "ツール", "k", "1"},
                    ReadCase{"Cp932InvalidByte",
                             "[s]\nk=a\x80"
                             "b\n",
                             "s", "k", "a\uFFFDb"}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteCase {
    const char* name;
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class IniWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(IniWrite, ChangesOnlyItsKey) {
    const WriteCase& c = GetParam();
    IniDocument doc = IniDocument::parse(c.before);
    ASSERT_TRUE(doc.setValue(c.section, c.key, c.value));
    EXPECT_EQ(doc.bytes(), c.after);
    EXPECT_EQ(IniDocument::parse(doc.bytes()).value(c.section, c.key), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniWrite,
    testing::Values(
        WriteCase{"NewFile", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
        WriteCase{"ReplaceKeepsEverythingElse", "; c\r\n[a]\r\nk=1\r\n\r\n[s]\r\nK=old\r\nz=9\r\n",
                  "s", "k", "new", "; c\r\n[a]\r\nk=1\r\n\r\n[s]\r\nK=new\r\nz=9\r\n"},
        WriteCase{"LfFileStaysLf", "[s]\nk=1\n", "s", "j", "v", "[s]\nk=1\nj=v\n"},
        WriteCase{"AddedAfterLastKey", "[s]\nk=1\n\n; about t\n[t]\nx=1\n", "s", "j", "v",
                  "[s]\nk=1\nj=v\n\n; about t\n[t]\nx=1\n"},
        WriteCase{"AddedToEmptySection", "[s]\n\n[t]\n", "s", "j", "v", "[s]\nj=v\n\n[t]\n"},
        WriteCase{"SectionAppendedNoFinalNewline", "[a]\r\nk=1", "s", "j", "v",
                  "[a]\r\nk=1\r\n[s]\r\nj=v\r\n"},
        WriteCase{"KeyAppendedNoFinalNewline", "[s]\r\nk=1", "s", "j", "v",
                  "[s]\r\nk=1\r\nj=v\r\n"},
        WriteCase{"KeySpellingKept", "[S]\nDataFile=1\n", "s", "DATAFILE", "2",
                  "[S]\nDataFile=2\n"},
        WriteCase{"BlanksKeptByQuotes", "", "s", "k", " a ", "[s]\r\nk=\" a \"\r\n"},
        WriteCase{"QuotesKeptByQuotes", "", "s", "k", "'x'", "[s]\r\nk=\"'x'\"\r\n"},
        WriteCase{"Cp932Value", "", "s", "k", "表", "[s]\r\nk=\x95\x5C\r\n"},
        WriteCase{"UntouchedLineKeepsItsBytes", "[t]\r\nN=\xEE\xE0\r\n[s]\r\nk=1\r\n", "s", "k",
                  "2", "[t]\r\nN=\xEE\xE0\r\n[s]\r\nk=2\r\n"},
        WriteCase{"YenSignTurnsFileToUtf8", "[a]\r\nk=\x95\x5C\r\n", "s", "k", "/x/¥.xls",
                  "\xEF\xBB\xBF[a]\r\nk=表\r\n[s]\r\nk=/x/¥.xls\r\n"},
        WriteCase{"MinusSignTurnsFileToUtf8", "", "s", "k", "a−b", "\xEF\xBB\xBF[s]\r\nk=a−b\r\n"},
        WriteCase{"Utf8FileStaysUtf8", "\xEF\xBB\xBF[s]\nk=1\n", "s", "k", "表",
                  "\xEF\xBB\xBF[s]\nk=表\n"},
        WriteCase{"SameValueSameBytes", "[s]\r\nk = v \r\n", "s", "k", "v", "[s]\r\nk = v \r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

class IniRoundTrip : public testing::TestWithParam<std::string> {};

TEST_P(IniRoundTrip, ValueReadsBackUnchanged) {
    IniDocument doc = IniDocument::parse("[s]\r\nk=old\r\n");
    ASSERT_TRUE(doc.setValue("s", "k", GetParam()));
    EXPECT_EQ(IniDocument::parse(doc.bytes()).value("s", "k"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Values, IniRoundTrip,
                         testing::Values("", " lead", "trail\t", "\"q\"", "'q'", "\"", "a=b", "x;y",
                                         "[z]", "C:\\表\\ソ", "¥", "ー[", "𠮷"));

struct RejectedCase {
    const char* name;
    std::string section;
    std::string key;
    std::string value;
};

void PrintTo(const RejectedCase& c, std::ostream* os) {
    *os << c.name;
}

class IniRejected : public testing::TestWithParam<RejectedCase> {};

TEST_P(IniRejected, LeavesDocumentAsItWas) {
    const std::string before = "[s]\r\nk=1\r\n";
    IniDocument doc = IniDocument::parse(before);
    EXPECT_FALSE(doc.setValue(GetParam().section, GetParam().key, GetParam().value));
    EXPECT_EQ(doc.bytes(), before);
}

INSTANTIATE_TEST_SUITE_P(Table, IniRejected,
                         testing::Values(RejectedCase{"LineFeedInValue", "s", "k", "a\nb"},
                                         RejectedCase{"CarriageReturnInValue", "s", "k", "a\rb"},
                                         RejectedCase{"NulInValue", "s", "k",
                                                      std::string("a\0b", 3)},
                                         RejectedCase{"EqualsInKey", "s", "k=j", "v"},
                                         RejectedCase{"CommentKey", "s", ";k", "v"},
                                         RejectedCase{"BracketKey", "s", "[k", "v"},
                                         RejectedCase{"EmptyKey", "s", "", "v"},
                                         RejectedCase{"BlankAroundKey", "s", " k", "v"},
                                         RejectedCase{"BracketInSection", "a]b", "k", "v"},
                                         RejectedCase{"EmptySection", "", "k", "v"},
                                         RejectedCase{"LineFeedInSection", "s\n[t", "k", "v"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tomorine
