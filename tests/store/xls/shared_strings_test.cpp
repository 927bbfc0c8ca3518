#include "biff_stream_builder.h"
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

using test::Bytes;
using test::Concat;

Bytes Head(std::uint16_t length, std::uint8_t flags) {
    Bytes b;
    test::PutU16(b, length);
    b.push_back(flags);
    return b;
}

Bytes Narrow(std::string_view chars) {
    return Bytes(chars.begin(), chars.end());
}

Bytes Wide(std::u16string_view chars) {
    Bytes b;
    for (char16_t c : chars) {
        test::PutU16(b, c);
    }
    return b;
}

Bytes U16(unsigned v) {
    Bytes b;
    test::PutU16(b, v);
    return b;
}

Bytes U32(std::uint32_t v) {
    Bytes b;
    test::PutU32(b, v);
    return b;
}

constexpr std::uint8_t kWide = 0x01;
constexpr std::uint8_t kPhonetic = 0x04;
constexpr std::uint8_t kRich = 0x08;

struct SstCase {
    const char* name;
    std::uint32_t count;
    std::vector<Bytes> pieces; // the SST body after its counts, then each CONTINUE body
    std::vector<std::u16string> strings;
    bool xlrdReadsIt; // xlrd follows only some of the splits
};

// A long string whose characters change width at every CONTINUE, as Excel
// writes one: each record after the first starts with the new flags byte.
SstCase LongString() {
    std::vector<Bytes> pieces;
    std::u16string text;
    for (bool wide = false; text.size() < 20000; wide = !wide) {
        const std::size_t n = std::min<std::size_t>(wide ? 4000 : 8000, 20000 - text.size());
        const Bytes start = text.empty() ? Head(20000, 0) : Bytes{wide ? kWide : std::uint8_t{0}};
        const std::u16string part(n, wide ? u'語' : u'a');
        pieces.push_back(Concat({start, wide ? Wide(part) : Narrow(std::string(n, 'a'))}));
        text += part;
    }
    return {"LongStringChangingWidthAtEachContinue", 1, pieces, {text}, true};
}

std::vector<SstCase> Cases() {
    return {
        {"WholeStrings",
         2,
         {Concat({Head(3, 0), Narrow("abc"), Head(2, kWide), Wide(u"日本")})},
         {u"abc", u"日本"},
         true},
        {"CharactersGoOnNarrowToWide",
         1,
         {Concat({Head(4, 0), Narrow("ab")}), Concat({{1}, Wide(u"日本")})},
         {u"ab日本"},
         true},
        {"CharactersGoOnWideToNarrow",
         1,
         {Concat({Head(4, kWide), Wide(u"日本")}), Concat({{0}, Narrow("ab")})},
         {u"日本ab"},
         true},
        {"ContinueStartsAtAStringHeader",
         2,
         {Concat({Head(2, 0), Narrow("ab")}), Concat({Head(2, 0), Narrow("cd")})},
         {u"ab", u"cd"},
         true},
        {"SplitBetweenHeaderAndCharacters",
         1,
         {Head(3, 0), Concat({{kWide}, Wide(u"xyz")})},
         {u"xyz"},
         true},
        {"SplitInsideTheLength", 1, {{3}, Concat({{0, 0}, Narrow("xyz")})}, {u"xyz"}, false},
        {"SplitBetweenLengthAndFlags", 1, {{3, 0}, Concat({{0}, Narrow("xyz")})}, {u"xyz"}, false},
        {"RichTextRunsGoOn",
         2,
         {Concat({Head(2, kRich), U16(2), Narrow("ab"), U32(0x00010000)}),
          Concat({U32(0x00020001), Head(1, 0), Narrow("c")})},
         {u"ab", u"c"},
         true},
        {"RichTextRunSplitInside",
         2,
         {Concat({Head(2, kRich), U16(2), Narrow("ab"), U32(0x00010000), U16(1)}),
          Concat({U16(2), Head(1, 0), Narrow("c")})},
         {u"ab", u"c"},
         false},
        {"PhoneticDataGoesOn",
         2,
         {Concat({Head(2, kPhonetic), U32(10), Narrow("ab"), Bytes(6, 0xEE)}),
          Concat({Bytes(4, 0xEE), Head(1, 0), Narrow("c")})},
         {u"ab", u"c"},
         true},
        {"PhoneticDataSpansThreeRecords",
         2,
         {Concat({Head(2, kPhonetic), U32(300), Narrow("ab"), Bytes(100, 0xEE)}), Bytes(150, 0xEE),
          Concat({Bytes(50, 0xEE), Head(1, 0), Narrow("c")})},
         {u"ab", u"c"},
         false},
        {"RichAndPhoneticTogether",
         2,
         {Concat({Head(2, kRich | kPhonetic | kWide), U16(1), U32(4), Wide(u"ふり"), U32(0),
                  Bytes(4, 0xEE), Head(1, 0), Narrow("c")})},
         {u"ふり", u"c"},
         true},
        {"EmptyStringHasFlags",
         2,
         {Concat({Head(0, 0), Head(1, 0), Narrow("x")})},
         {u"", u"x"},
         true},
        {"CountSmallerThanStringsPresent",
         1,
         {Concat({Head(1, 0), Narrow("a"), Head(1, 0), Narrow("b")})},
         {u"a"},
         true},
        {"CountLargerThanStringsPresent",
         5,
         {Concat({Head(1, 0), Narrow("a"), Head(1, 0), Narrow("b")})},
         {u"a", u"b"},
         false},
        {"HalfCharacterBeforeContinueIsDropped",
         1,
         {Concat({Head(2, kWide), Wide(u"日"), {0x5C}}), Concat({{kWide}, Wide(u"本")})},
         {u"日本"},
         true},
        {"EmptyContinueIsSkipped",
         1,
         {Concat({Head(2, 0), Narrow("a")}), {}, Concat({{0}, Narrow("b")})},
         {u"ab"},
         false},
        LongString(),
    };
}

// The SST and a sheet with one cell per string, in column A.
struct Built {
    Bytes file;
    nlohmann::json expected;
};

Built Build(const SstCase& c) {
    test::TestSheet sheet{u"SST", {}, 0};
    nlohmann::json cells = nlohmann::json::array();
    for (std::uint16_t i = 0; i < c.strings.size(); ++i) {
        sheet.records.push_back(test::LabelSstCell(i, 0, i));
        cells.push_back({i, 0, "text", ToUtf8(c.strings[i])});
    }
    const Bytes stream = test::WorkbookStream({test::SstRecords(c.count, c.pieces)}, {sheet});
    return {test::XlsFile(stream), {{"sheets", {{{"name", "SST"}, {"cells", cells}}}}}};
}

void PrintTo(const SstCase& c, std::ostream* os) {
    *os << c.name;
}

class SharedStringsTest : public ::testing::TestWithParam<SstCase> {};

TEST_P(SharedStringsTest, ReadsTheStrings) {
    const Built built = Build(GetParam());
    EXPECT_TRUE(test::SameAsXlrd(ReadXlsBytes(built.file, "sst.xls"), built.expected));
}

TEST_P(SharedStringsTest, AgreesWithXlrdWhereItFollows) {
    if (!GetParam().xlrdReadsIt) {
        GTEST_SKIP();
    }
    test::TempDir dir;
    const Built built = Build(GetParam());
    test::WriteBytes(dir / "sst.xls", built.file);
    EXPECT_TRUE(
        test::SameAsXlrd(ReadXlsBytes(built.file, "sst.xls"), test::XlrdValues(dir / "sst.xls")));
}

INSTANTIATE_TEST_SUITE_P(Splits, SharedStringsTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tomorine
