#include "search/search_fold.h"

#include "search/full_width.h"
#include "search/lower_case.h"
#include "search/narrow_for_search.h"

#include <array>
#include <limits>

namespace tomorine {

namespace {

using FoldTable = std::array<char16_t, std::numeric_limits<char16_t>::max() + 1>;

// Half-width katakana the narrow form leaves (ｧ from ァ, ｳ from ヴ) go back up,
// so that both sides end in the full-width katakana a user types.
char16_t Widened(char16_t c) {
    bool joined = false;
    return IsHalfWidthKatakana(c) ? WideKatakana(c, 0, joined) : c;
}

// Every search folds each field text it tests, so the per-character rules
// are merged into one lookup of all 65,536 code units, built once.
const FoldTable& Folds() {
    static const FoldTable table = [] {
        FoldTable folds{};
        for (size_t c = 0; c < folds.size(); ++c) {
            folds[c] = Widened(LowerChar(NarrowChar(static_cast<char16_t>(c))));
        }
        return folds;
    }();
    return table;
}

} // namespace

char16_t FoldForSearch(char16_t c) {
    return Folds()[c];
}

void FoldForSearch(std::u16string_view text, std::u16string& out) {
    const FoldTable& folds = Folds();
    out.resize(text.size());
    size_t length = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        // A half-width letter takes its sound mark first: ｶﾞ is ガ, not カ゛.
        if (IsHalfWidthKatakana(c) && i + 1 < text.size()) {
            bool joined = false;
            c = WideKatakana(c, text[i + 1], joined);
            i += joined ? 1 : 0;
        }
        out[length++] = folds[c];
    }
    out.resize(length);
}

} // namespace tomorine
