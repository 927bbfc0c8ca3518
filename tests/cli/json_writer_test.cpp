#include "cli/json_writer.h"

#include <gtest/gtest.h>
#include <string>

namespace tomorine::cli {
namespace {

// What JSON readers and UTF-8 cannot take is escaped; everything else is
// written as UTF-8, a surrogate pair as one character.
TEST(JsonString, EscapesWhatUtf8AndJsonCannotHold) {
    const struct {
        std::u16string text;
        std::string json;
    } cases[] = {
        {u"", R"("")"},
        {u"a\"b\\c/", R"("a\"b\\c/")"},
        {u"\t\n\x1f", R"("\u0009\u000a\u001f")"},
        {u"é東京", "\"\xC3\xA9\xE6\x9D\xB1\xE4\xBA\xAC\""},
        {u"𠮷", "\"\xF0\xA0\xAE\xB7\""},
        {std::u16string(1, u'\xD842') + u"x", R"("\ud842x")"},
        {std::u16string(1, u'\xDFB7'), R"("\udfb7")"},
        {u"a" + std::u16string(1, u'\xD842'), R"("a\ud842")"},
        {std::u16string(3000, u'\x01'), ""},
    };
    for (const auto& c : cases) {
        std::string out = "x";
        AppendJsonString(out, c.text);
        if (c.json.empty()) { // the worst case: every unit escaped
            EXPECT_EQ(out.size(), 1 + 2 + 6 * c.text.size());
        } else {
            EXPECT_EQ(out, "x" + c.json);
        }
    }
}

} // namespace
} // namespace tomorine::cli
