#include "search/result_lines.h"

#include "search/field_match.h"
#include "store/entry.h"
#include "store/table/recordset.h"

#include <cstdio>

namespace tomorine {

std::u16string ResultLine(std::int32_t serial, std::u16string_view title) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05d", static_cast<int>(serial));
    std::string s = std::string("[") + digits + "]:";
    return std::u16string(s.begin(), s.end()) + std::u16string(title);
}

std::u16string HitCountCaption(int hits) {
    std::string n = std::to_string(hits);
    return std::u16string(n.begin(), n.end()) + u"件 ヒットしました";
}

int ListMatchingRows(Recordset& rows, const SearchTexts& texts,
                     const std::function<void(const SearchHit&)>& onHit) {
    int hits = 0;
    long position = 0;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext(), ++position) {
        if (MatchSearchFields(rows, texts)) {
            onHit(SearchHit{ResultLine(CellToInt32(rows.field(SerialColumn)),
                                       JoinField(rows, FieldGroup::Title)),
                            position});
            ++hits;
        }
    }
    return hits;
}

} // namespace tomorine
