#include "favorites/registered_urls.h"

#include "store/entry.h"
#include "store/table/connection.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <utility>

namespace tomorine {

namespace {

constexpr std::uint16_t kNull = 0xFFFF; // never a length: a cell holds at most 32,767 characters

void Append16(std::string& key, std::uint16_t value) {
    key += static_cast<char>(value >> 8);
    key += static_cast<char>(value & 0xFF);
}

// Each column as its length and units, or the Null mark, so that no two rows
// share a key unless every column matches. A unit below 0x80 takes one byte,
// any other 0x80 and its two: URLs are mostly ASCII.
void AppendColumn(std::string& key, std::u16string_view text) {
    if (text.empty()) {
        Append16(key, kNull);
        return;
    }
    Append16(key, static_cast<std::uint16_t>(std::min<size_t>(text.size(), kNull - 1)));
    for (char16_t unit : text) {
        if (unit < 0x80) {
            key += static_cast<char>(unit);
        } else {
            key += static_cast<char>(0x80);
            Append16(key, unit);
        }
    }
}

std::string KeyOf(std::u16string_view url) {
    std::string key;
    for (const std::u16string& chunk : SplitChunks(url, LayoutOf(FieldGroup::Url).chunks)) {
        AppendColumn(key, chunk);
    }
    return key;
}

std::uint32_t HashOf(std::string_view key) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>()(key));
}

} // namespace

RegisteredUrls::RegisteredUrls(Connection& connection) {
    const SheetRows rows = connection.rows(EntrySheetName);
    std::vector<int> columns;
    for (int i = 1; i <= LayoutOf(FieldGroup::Url).chunks; ++i) {
        columns.push_back(rows.column(ChunkColumnName(FieldGroup::Url, i)));
    }
    const size_t count = static_cast<size_t>(std::max(0, rows.lastRow() - 1));
    slots_.assign(std::bit_ceil(std::max<size_t>(64, count * 2)), Slot{kEmpty, 0});
    std::string key;
    for (int r = rows.firstRow(); r <= rows.lastRow(); ++r) {
        key.clear();
        for (int column : columns) {
            const Cell cell = rows.value(r, column);
            if (cell.kind() == CellKind::Text) {
                AppendColumn(key, cell.asText());
            } else {
                AppendColumn(key, CellToText(cell));
            }
        }
        insert(key);
    }
}

bool RegisteredUrls::contains(std::u16string_view url) const {
    const std::string key = KeyOf(url);
    return slots_[find(key, HashOf(key))].offset != kEmpty;
}

void RegisteredUrls::add(std::u16string_view url) {
    insert(KeyOf(url));
}

std::string_view RegisteredUrls::keyAt(std::uint32_t offset) const {
    std::uint32_t size = 0;
    std::memcpy(&size, keys_.data() + offset, sizeof size);
    return std::string_view(keys_).substr(offset + sizeof size, size);
}

std::size_t RegisteredUrls::find(std::string_view key, std::uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i].offset != kEmpty &&
           (slots_[i].hash != hash || keyAt(slots_[i].offset) != key)) {
        i = (i + 1) & mask;
    }
    return i;
}

void RegisteredUrls::insert(std::string_view key) {
    if ((count_ + 1) * 2 > slots_.size()) { // at most half full, so probes stay short
        std::vector<Slot> old =
            std::exchange(slots_, std::vector<Slot>(slots_.size() * 2, Slot{kEmpty, 0}));
        for (const Slot& slot : old) {
            if (slot.offset != kEmpty) {
                slots_[find(keyAt(slot.offset), slot.hash)] = slot;
            }
        }
    }
    const std::uint32_t hash = HashOf(key);
    Slot& slot = slots_[find(key, hash)];
    if (slot.offset != kEmpty) {
        return;
    }
    const auto size = static_cast<std::uint32_t>(key.size());
    slot = {static_cast<std::uint32_t>(keys_.size()), hash};
    keys_.append(reinterpret_cast<const char*>(&size), sizeof size);
    keys_.append(key);
    ++count_;
}

} // namespace tomorine
