#include "store/entry_layout.h"

#include "store/text_cut.h"

#include <algorithm>

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

} // namespace tomorine
