#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// The work sheet the keywords are sorted on, and its one column.
inline constexpr std::u16string_view KeywordSheetName = u"キーワード一覧";
inline constexpr std::u16string_view KeywordColumn = u"keyword";

// The live entries: "SELECT * FROM [トモリネ$] WHERE 削除 = 0".
std::u16string KeywordSourceStatement();
// One keyword into the work sheet, its apostrophes doubled.
std::u16string KeywordInsertStatement(std::u16string_view word);
// The distinct keywords in ascending order.
std::u16string DistinctKeywordStatement();

} // namespace tomorine
