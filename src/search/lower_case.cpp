#include "search/lower_case.h"

namespace tomorine {

namespace {

struct CaseRange {
    char16_t first;
    char16_t last;
    enum { Offset, EvenUpper, OddUpper } kind;
    int offset; // lower minus upper, for Offset ranges
};

// Ranges of upper-case letters. In the Even/OddUpper ranges upper and lower
// alternate, the upper one on even or odd code points.
constexpr CaseRange CaseRanges[] = {
    {u'A', u'Z', CaseRange::Offset, 32},
    {u'\u00C0', u'\u00D6', CaseRange::Offset, 32},
    {u'\u00D8', u'\u00DE', CaseRange::Offset, 32},
    {u'\u0100', u'\u012F', CaseRange::EvenUpper, 0},
    {u'\u0130', u'\u0130', CaseRange::Offset, u'i' - u'\u0130'}, // İ
    {u'\u0132', u'\u0137', CaseRange::EvenUpper, 0},
    {u'\u0139', u'\u0148', CaseRange::OddUpper, 0},
    {u'\u014A', u'\u0177', CaseRange::EvenUpper, 0},
    {u'\u0178', u'\u0178', CaseRange::Offset, u'\u00FF' - u'\u0178'}, // Ÿ
    {u'\u0179', u'\u017E', CaseRange::OddUpper, 0},
    {u'\u0386', u'\u0386', CaseRange::Offset, 38}, // Ά
    {u'\u0388', u'\u038A', CaseRange::Offset, 37}, // Έ Ή Ί
    {u'\u038C', u'\u038C', CaseRange::Offset, 64}, // Ό
    {u'\u038E', u'\u038F', CaseRange::Offset, 63}, // Ύ Ώ
    {u'\u0391', u'\u03A1', CaseRange::Offset, 32}, // Α … Ρ
    {u'\u03A3', u'\u03AB', CaseRange::Offset, 32}, // Σ … Ϋ
    {u'\u0400', u'\u040F', CaseRange::Offset, 80}, // Ѐ … Џ
    {u'\u0410', u'\u042F', CaseRange::Offset, 32}, // А … Я
    {u'\u0460', u'\u0481', CaseRange::EvenUpper, 0},
    {u'\u048A', u'\u04BF', CaseRange::EvenUpper, 0},
    {u'\u04C0', u'\u04C0', CaseRange::Offset, 15}, // Ӏ
    {u'\u04C1', u'\u04CE', CaseRange::OddUpper, 0},
    {u'\u04D0', u'\u04FF', CaseRange::EvenUpper, 0},
    {u'\u2160', u'\u216F', CaseRange::Offset, 16}, // Ⅰ … Ⅿ
    {u'\u24B6', u'\u24CF', CaseRange::Offset, 26}, // Ⓐ … Ⓩ
    {u'\uFF21', u'\uFF3A', CaseRange::Offset, 32}, // Ａ … Ｚ
};

} // namespace

char16_t LowerChar(char16_t c) {
    for (const CaseRange& range : CaseRanges) {
        if (c < range.first) {
            break;
        }
        if (c > range.last) {
            continue;
        }
        switch (range.kind) {
        case CaseRange::Offset:
            return static_cast<char16_t>(c + range.offset);
        case CaseRange::EvenUpper:
            return c % 2 == 0 ? static_cast<char16_t>(c + 1) : c;
        case CaseRange::OddUpper:
            return c % 2 == 1 ? static_cast<char16_t>(c + 1) : c;
        }
    }
    return c;
}

} // namespace tomorine
