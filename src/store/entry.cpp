#include "store/entry.h"

#include "store/table/recordset.h"
#include "store/text_cut.h"
#include "store/workbook/cell.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tomorine {

const std::array<FieldLayout, 5>& FieldLayouts() {
    static const std::array<FieldLayout, 5> layouts = {{
        {FieldGroup::Url, u"URL", 16, 2, false},
        {FieldGroup::Title, u"タイトル", 4, 18, true},
        {FieldGroup::Subtitle, u"サブタイトル", 4, 22, true},
        {FieldGroup::Comment, u"コメント", 16, 26, true},
        {FieldGroup::Keywords, u"キーワード", 16, 42, true},
    }};
    return layouts;
}

const FieldLayout& LayoutOf(FieldGroup group) {
    return FieldLayouts()[static_cast<size_t>(group)];
}

std::u16string ChunkColumnName(FieldGroup group, int chunk) {
    std::string number = std::to_string(chunk);
    return std::u16string(LayoutOf(group).prefix) + std::u16string(number.begin(), number.end());
}

const std::vector<std::u16string>& EntryColumnNames() {
    static const std::vector<std::u16string> names = [] {
        std::vector<std::u16string> n{std::u16string(SerialColumn)};
        for (const FieldLayout& layout : FieldLayouts()) {
            for (int i = 1; i <= layout.chunks; ++i) {
                n.push_back(ChunkColumnName(layout.group, i));
            }
        }
        n.emplace_back(DeletedColumn);
        return n;
    }();
    return names;
}

namespace {

size_t ChunkEnd(std::u16string_view text, size_t start) {
    return WholeCharacterCut(text, start, std::min(text.size(), start + ChunkSize));
}

} // namespace

std::vector<std::u16string> SplitChunks(std::u16string_view text, int slots) {
    std::vector<std::u16string> chunks(slots);
    size_t start = 0;
    for (int i = 0; i < slots && start < text.size(); ++i) {
        const size_t end = ChunkEnd(text, start);
        chunks[i] = text.substr(start, end - start);
        start = end;
    }
    return chunks;
}

std::u16string FittedText(std::u16string_view text, FieldGroup group) {
    std::u16string kept;
    for (const std::u16string& chunk : SplitChunks(text, LayoutOf(group).chunks)) {
        kept += chunk;
    }
    return kept;
}

std::vector<std::u16string> FixedChunks(std::u16string_view text, int slots) {
    std::vector<std::u16string> chunks(slots);
    for (int i = 0; i < slots; ++i) {
        const size_t start = static_cast<size_t>(i) * ChunkSize;
        if (start < text.size()) {
            chunks[i] = text.substr(start, ChunkSize);
        }
    }
    return chunks;
}

namespace {

std::u16string ReplaceTrailing(std::u16string_view text, char16_t from, char16_t to) {
    std::u16string out(text);
    for (size_t i = out.size(); i > 0 && out[i - 1] == from; --i) {
        out[i - 1] = to;
    }
    return out;
}

} // namespace

std::u16string TrailingSpacesToTabs(std::u16string_view text) {
    return ReplaceTrailing(text, u' ', u'\t');
}

std::u16string TrailingTabsToSpaces(std::u16string_view text) {
    return ReplaceTrailing(text, u'\t', u' ');
}

std::u16string CellToText(const Cell& value) {
    switch (value.kind()) {
    case CellKind::Text:
        return std::u16string(value.asText());
    case CellKind::Number:
        return FormatNumber(value.asNumber());
    case CellKind::Boolean:
        return value.asBoolean() ? u"True" : u"False";
    case CellKind::Error:
        return ErrorText(value.errorCode());
    case CellKind::Empty:
        break;
    }
    return {};
}

std::int32_t CellToInt32(const Cell& value) {
    double number = 0;
    if (value.kind() == CellKind::Number) {
        number = value.asNumber();
    } else if (value.kind() == CellKind::Text) {
        std::string digits(value.asText().begin(), value.asText().end());
        number = std::strtod(digits.c_str(), nullptr);
    }
    if (!std::isfinite(number)) {
        return 0;
    }
    number = std::nearbyint(number);
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(number, lo, hi));
}

std::vector<std::u16string> ChunkValues(const Entry& entry) {
    const std::u16string* texts[] = {&entry.url, &entry.title, &entry.subtitle, &entry.comment,
                                     &entry.keywords};
    std::vector<std::u16string> values;
    values.reserve(EntryColumnCount - 2);
    for (const FieldLayout& layout : FieldLayouts()) {
        for (std::u16string& chunk :
             SplitChunks(*texts[static_cast<size_t>(layout.group)], layout.chunks)) {
            values.push_back(layout.readBackRule ? TrailingSpacesToTabs(chunk) : std::move(chunk));
        }
    }
    return values;
}

std::u16string JoinField(const Recordset& row, FieldGroup group) {
    const FieldLayout& layout = LayoutOf(group);
    std::u16string text;
    const std::vector<std::u16string>& names = EntryColumnNames();
    for (int i = 0; i < layout.chunks; ++i) {
        const Cell& value = row.field(names[layout.firstColumn - 1 + i]);
        if (value.isEmpty()) {
            continue;
        }
        text += layout.readBackRule ? TrailingTabsToSpaces(CellToText(value)) : CellToText(value);
    }
    return text;
}

Entry ReadEntry(const Recordset& row) {
    Entry entry;
    entry.serial = CellToInt32(row.field(SerialColumn));
    entry.url = JoinField(row, FieldGroup::Url);
    entry.title = JoinField(row, FieldGroup::Title);
    entry.subtitle = JoinField(row, FieldGroup::Subtitle);
    entry.comment = JoinField(row, FieldGroup::Comment);
    entry.keywords = JoinField(row, FieldGroup::Keywords);
    return entry;
}

} // namespace tomorine
