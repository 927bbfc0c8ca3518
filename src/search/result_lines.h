#pragma once

#include "search/search_texts.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tomorine {

class Recordset;

// "[" + serial as "00000" + "]:" + title: at least five digits, zero-padded.
std::u16string ResultLine(std::int32_t serial, std::u16string_view title);
// "3件 ヒットしました"
std::u16string HitCountCaption(int hits);

// One line of the result list and the zero-based position of its row in the
// result recordset, counting every row the statement returned.
struct SearchHit {
    std::u16string line;
    long position = 0;
};

// Walks the recordset from its first row to its end and reports every row
// that matches `texts`, in order. Returns the number of hits. A failure
// (a missing column, say) is raised after the hits reported so far.
int ListMatchingRows(Recordset& rows, const SearchTexts& texts,
                     const std::function<void(const SearchHit&)>& onHit);

} // namespace tomorine
