#include "search/search_fold.h"

#include "search/lower_case.h"
#include "search/narrow_for_search.h"

#include <array>
#include <limits>

namespace tomorine {

namespace {

using FoldTable = std::array<char16_t, std::numeric_limits<char16_t>::max() + 1>;

// Every search folds each field text it tests, so the two per-character rules
// are merged into one lookup of all 65,536 code units, built once.
const FoldTable& Folds() {
    static const FoldTable table = [] {
        FoldTable folds{};
        for (size_t c = 0; c < folds.size(); ++c) {
            folds[c] = LowerChar(NarrowChar(static_cast<char16_t>(c)));
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
    for (size_t i = 0; i < text.size(); ++i) {
        out[i] = folds[text[i]];
    }
}

} // namespace tomorine
