#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

// How an entry lies on its sheet, which the .xls save needs as well as the
// store. The five texts of an entry, each stored as 125-unit chunks over a fixed
// group of numbered columns.
enum class FieldGroup { Url, Title, Subtitle, Comment, Keywords };

struct FieldLayout {
    FieldGroup group;
    std::u16string_view prefix; // column names are prefix + chunk number (1-based)
    int chunks;
    int firstColumn;   // 1-based sheet column of chunk 1
    bool readBackRule; // trailing tabs of each chunk become spaces on reading
};

inline constexpr int ChunkSize = 125;
inline constexpr int EntryColumnCount = 58;
inline constexpr std::u16string_view EntrySheetName = u"トモリネ";
inline constexpr std::u16string_view SerialColumn = u"シリアル番号";
inline constexpr std::u16string_view DeletedColumn = u"削除";

// Field groups in sheet order: URL, title, subtitle, comment, keywords.
const std::array<FieldLayout, 5>& FieldLayouts();
const FieldLayout& LayoutOf(FieldGroup group);
// Name of chunk `chunk` (1-based) of a group, e.g. u"タイトル2".
std::u16string ChunkColumnName(FieldGroup group, int chunk);
// The 58 column names of the entry sheet, in sheet order.
const std::vector<std::u16string>& EntryColumnNames();

// Slot i holds the next at most 125 units of the text; slots past the end
// are empty and text beyond the last slot is dropped. A slot ends before 125
// units rather than split a surrogate pair or a character from the marks
// that combine with it, so every cell holds whole characters and the joined
// chunks give the text back.
std::vector<std::u16string> SplitChunks(std::u16string_view text, int slots);
// Write rule: trailing spaces become tabs, so that they survive the cell.
std::u16string TrailingSpacesToTabs(std::u16string_view text);
// Read-back rule: trailing tabs become spaces.
std::u16string TrailingTabsToSpaces(std::u16string_view text);

} // namespace tomorine
