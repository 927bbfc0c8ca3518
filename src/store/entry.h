#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

class Recordset;
class Cell;

// One bookmark: one row of the entry sheet.
struct Entry {
    std::int32_t serial = 0;
    std::u16string url;
    std::u16string title;
    std::u16string subtitle;
    std::u16string keywords;
    std::u16string comment;
};

// The five texts of an entry, each stored as 125-unit chunks over a fixed
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
// The text as the group's columns keep it: the joined chunks of SplitChunks,
// so whole characters up to the group's cap.
std::u16string FittedText(std::u16string_view text, FieldGroup group);
// The cut of earlier versions, which files written by them hold: slot i is
// the text's units from i * 125, whatever character falls at the border.
std::vector<std::u16string> FixedChunks(std::u16string_view text, int slots);
// Write rule: trailing spaces become tabs, so that they survive the cell.
std::u16string TrailingSpacesToTabs(std::u16string_view text);
// Read-back rule: trailing tabs become spaces.
std::u16string TrailingTabsToSpaces(std::u16string_view text);

// A field value as text: numbers as the spreadsheet shows them, Null empty.
std::u16string CellToText(const Cell& value);
// A field value as a 32-bit integer (rounded half to even, clamped); Null 0.
std::int32_t CellToInt32(const Cell& value);

// The texts of the 56 chunk columns of an entry as they are stored, in sheet
// order: URL chunks as cut, the other chunks with the trailing-space rule.
std::vector<std::u16string> ChunkValues(const Entry& entry);

// Joins a group's columns of the recordset's current row: Null columns add
// nothing, and for every group but the URL each chunk gets the read-back rule.
std::u16string JoinField(const Recordset& row, FieldGroup group);
// The entry at the recordset's current row.
Entry ReadEntry(const Recordset& row);

} // namespace tomorine
