#include "cli/json_writer.h"

#include <gtest/gtest.h>
#include <string>

namespace tomorine::cli {

// Everything else is written as UTF-8, a surrogate pair as one character.
TEST(JsonString, EscapesWhatUtf8AndJsonCannotHold) {
    const std::pair<std::u16string, std::string> cases[] = {
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
    for (const auto& [text, json] : cases) {
        std::string out = "x";
        AppendJsonString(out, text);
        if (json.empty()) { // the worst case: every unit escaped
            EXPECT_EQ(out.size(), 1 + 2 + 6 * text.size());
        } else {
            EXPECT_EQ(out, "x" + json);
        }
    }
}

} // namespace tomorine::cli
