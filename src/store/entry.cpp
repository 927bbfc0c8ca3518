#include "store/entry.h"

#include "store/table/recordset.h"
#include "store/workbook/cell.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tomorine {

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
