#include "search/narrow_for_search.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tomorine {

namespace {

constexpr std::u16string_view UnfoldedMarks = u"「」、。・ー゛゜";

// Narrow forms outside the full-width ASCII block, sorted by the full-width
// character. Where the Japanese code page has a single-byte form, that byte
// as the code page decodes it is taken (so ￥ becomes \ and ￣ becomes ~, as
// 0x5C and 0x7E read); where it has none, the Unicode half-width form.
// Katakana with a two-character narrow form keep the first one (ヴ → ｳﾞ → ｳ);
// ヸ and ヹ have no half-width form and stay.
constexpr std::array<std::pair<char16_t, char16_t>, 21> NarrowForms{{
    {u'\u2010', u'-'},      // ‐ hyphen
    {u'\u2018', u'\''},     // ‘
    {u'\u2019', u'\''},     // ’
    {u'\u201C', u'"'},      // “
    {u'\u201D', u'"'},      // ”
    {u'\u2212', u'-'},      // − minus sign
    {u'\u3000', u' '},      // ideographic space
    {u'\u301C', u'~'},      // 〜 wave dash (the code page's ～ as some converters read it)
    {u'\u30A1', u'\uFF67'}, // ァ → ｧ
    {u'\u30F4', u'\uFF73'}, // ヴ → ｳ(ﾞ)
    {u'\u30F5', u'\uFF76'}, // ヵ → ｶ
    {u'\u30F6', u'\uFF79'}, // ヶ → ｹ
    {u'\u30F7', u'\uFF9C'}, // ヷ → ﾜ(ﾞ)
    {u'\u30FA', u'\uFF66'}, // ヺ → ｦ(ﾞ)
    {u'\uFFE0', u'\u00A2'}, // ￠ → ¢
    {u'\uFFE1', u'\u00A3'}, // ￡ → £
    {u'\uFFE2', u'\u00AC'}, // ￢ → ¬
    {u'\uFFE3', u'~'},      // ￣ → the code page's 0x7E
    {u'\uFFE4', u'\u00A6'}, // ￤ → ¦
    {u'\uFFE5', u'\\'},     // ￥ → the code page's 0x5C
    {u'\uFFE6', u'\u20A9'}, // ￦ → ₩
}};
static_assert(std::is_sorted(NarrowForms.begin(), NarrowForms.end()));

// The katakana ア to ン and the marks that search folding leaves as written.
bool IsUnfoldedForSearch(char16_t c) {
    return (c >= u'ア' && c <= u'ン') || UnfoldedMarks.find(c) != std::u16string_view::npos;
}

} // namespace

char16_t NarrowChar(char16_t c) {
    if (c >= u'！' && c <= u'～') {
        return static_cast<char16_t>(c - (u'！' - u'!'));
    }
    if (IsUnfoldedForSearch(c)) {
        return c;
    }
    auto it = std::lower_bound(NarrowForms.begin(), NarrowForms.end(), c,
                               [](const auto& form, char16_t key) { return form.first < key; });
    return it != NarrowForms.end() && it->first == c ? it->second : c;
}

std::u16string NarrowForSearch(std::u16string_view text) {
    std::u16string narrow(text.size(), u'\0');
    std::transform(text.begin(), text.end(), narrow.begin(), NarrowChar);
    return narrow;
}

} // namespace tomorine
