#include "search/full_width.h"

#include <array>

namespace tomorine {

namespace {

// U+FF61..U+FF9F in order.
constexpr std::array<char16_t, 63> kKatakana = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ',
    u'ョ', u'ッ', u'ー', u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ',
    u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ', u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ',
    u'ネ', u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ', u'ヤ',
    u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'゛', u'゜'};

constexpr char16_t kVoicedMark = u'\uFF9E';
constexpr char16_t kSemiVoicedMark = u'\uFF9F';

// The letter that a sound mark turns `letter` into, or 0 when it has none.
char16_t Voiced(char16_t letter) {
    if (letter == u'ウ') {
        return u'ヴ';
    }
    const bool kaToTo = letter >= u'カ' && letter <= u'ト';
    const bool haToHo = letter >= u'ハ' && letter <= u'ホ' && (letter - u'ハ') % 3 == 0;
    // カ..ト alternate with their voiced forms, except ッ/ツ where ッ sits before ツ.
    const bool kaRow = kaToTo && letter != u'ッ' &&
                       (letter < u'ッ' ? (letter - u'カ') % 2 == 0 : (letter - u'ツ') % 2 == 0);
    return kaRow || haToHo ? static_cast<char16_t>(letter + 1) : 0;
}

char16_t SemiVoiced(char16_t letter) {
    const bool haToHo = letter >= u'ハ' && letter <= u'ホ' && (letter - u'ハ') % 3 == 0;
    return haToHo ? static_cast<char16_t>(letter + 2) : 0;
}

// The narrow signs and, at the same place, their wide forms.
constexpr std::u16string_view kNarrowSigns =
    u"\u00A2\u00A3\u00AC\u00AF\u00A6\u00A5\u20A9\uFFE8\uFFE9\uFFEA\uFFEB\uFFEC\uFFED\uFFEE";
constexpr std::u16string_view kWideSigns =
    u"\uFFE0\uFFE1\uFFE2\uFFE3\uFFE4\uFFE5\uFFE6\u2502\u2190\u2191\u2192\u2193\u25A0\u25CB";

char16_t WideSign(char16_t c) {
    const std::size_t at = kNarrowSigns.find(c);
    return at == std::u16string_view::npos ? c : kWideSigns[at];
}

} // namespace

char16_t WideKatakana(char16_t c, char16_t next, bool& joined) {
    const char16_t letter = kKatakana[c - 0xFF61];
    const char16_t voiced = next == kVoicedMark       ? Voiced(letter)
                            : next == kSemiVoicedMark ? SemiVoiced(letter)
                                                      : 0;
    joined = voiced != 0;
    return joined ? voiced : letter;
}

std::u16string ToFullWidth(std::u16string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u' ') {
            wide += u'\u3000';
        } else if (c >= u'!' && c <= u'~') {
            wide += static_cast<char16_t>(c + 0xFEE0);
        } else if (IsHalfWidthKatakana(c)) {
            bool joined = false;
            wide += WideKatakana(c, i + 1 < text.size() ? text[i + 1] : 0, joined);
            i += joined ? 1 : 0;
        } else {
            wide += WideSign(c);
        }
    }
    return wide;
}

} // namespace tomorine
