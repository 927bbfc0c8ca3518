#include "store/text_cut.h"

#include "store/workbook/utf.h"

namespace tomorine {

namespace {

bool PairAt(std::u16string_view text, std::size_t at) {
    return at + 1 < text.size() && IsHighSurrogate(text[at]) && IsLowSurrogate(text[at + 1]);
}

char32_t CodePointAt(std::u16string_view text, std::size_t at) {
    if (PairAt(text, at)) {
        return 0x10000 + ((char32_t{text[at]} - 0xD800) << 10) + (text[at + 1] - 0xDC00);
    }
    return text[at];
}

// Start of the character that ends just before `at`.
std::size_t PreviousStart(std::u16string_view text, std::size_t at) {
    return at >= 2 && PairAt(text, at - 2) ? at - 2 : at - 1;
}

constexpr char32_t kJoiner = 0x200D;

bool InRange(char32_t c, char32_t first, char32_t last) {
    return c >= first && c <= last;
}

bool IsRegionalIndicator(char32_t c) {
    return InRange(c, 0x1F1E6, 0x1F1FF);
}

// Marks that belong to the character before them: the common combining
// blocks, kana voicing marks, variation selectors, emoji modifiers and tags.
bool Extends(char32_t c) {
    return InRange(c, 0x0300, 0x036F) || InRange(c, 0x1AB0, 0x1AFF) || InRange(c, 0x1DC0, 0x1DFF) ||
           InRange(c, 0x20D0, 0x20FF) || InRange(c, 0x3099, 0x309A) || InRange(c, 0xFE00, 0xFE0F) ||
           InRange(c, 0xFE20, 0xFE2F) || InRange(c, 0x1F3FB, 0x1F3FF) ||
           InRange(c, 0xE0020, 0xE007F) || InRange(c, 0xE0100, 0xE01EF) || c == kJoiner;
}

// Whether the regional indicator at `at` is the second of a flag: an odd
// run of indicators before it.
bool SecondOfFlag(std::u16string_view text, std::size_t start, std::size_t at) {
    std::size_t before = 0;
    for (std::size_t p = at; p > start;) {
        p = PreviousStart(text, p);
        if (!IsRegionalIndicator(CodePointAt(text, p))) {
            break;
        }
        ++before;
    }
    return before % 2 == 1;
}

bool ContinuesCharacter(std::u16string_view text, std::size_t start, std::size_t at) {
    const char32_t c = CodePointAt(text, at);
    if (Extends(c)) {
        return true;
    }
    const std::size_t previous = PreviousStart(text, at);
    if (CodePointAt(text, previous) == kJoiner) {
        return true;
    }
    return IsRegionalIndicator(c) && SecondOfFlag(text, start, at);
}

} // namespace

std::size_t WholeCharacterCut(std::u16string_view text, std::size_t start, std::size_t end) {
    if (end >= text.size()) {
        return text.size();
    }
    std::size_t cut = end;
    if (cut > start + 1 && PairAt(text, cut - 1)) {
        --cut;
    }
    for (std::size_t at = cut; at > start; at = PreviousStart(text, at)) {
        if (!ContinuesCharacter(text, start, at)) {
            return at;
        }
    }
    return cut; // one character longer than a piece: cut it at least between pairs
}

} // namespace tomorine
