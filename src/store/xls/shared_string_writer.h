#pragma once

#include "store/xls/record_writer.h"
#include "store/xls/stored_layout.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tomorine::biff {

// The workbook's shared string table: every text cell refers to it by index
// and each distinct text is stored once.
class SharedStrings {
public:
    // `expectedTexts`: about how many texts will be added.
    explicit SharedStrings(std::size_t expectedTexts = 0);

    // Index of `text`, added when new. The text must outlive the table.
    std::uint32_t add(std::u16string_view text);

    std::uint32_t uniqueCount() const { return static_cast<std::uint32_t>(strings_.size()); }
    // Whether a text added holds half a surrogate pair alone.
    bool holdsLoneSurrogate() const { return loneSurrogate_; }

    // SST, split into CONTINUE records by the BIFF8 rules (EXTSST is the
    // caller's). Each string's start is appended to `starts`.
    void write(RecordWriter& out, std::vector<xls::StoredStringStart>& starts) const;
    // The strings alone, in CONTINUE records of their own, to follow an SST
    // copied as it was; `starts` holds the copied strings' starts and gets
    // these strings' too.
    void writeContinued(RecordWriter& out, std::vector<xls::StoredStringStart>& starts) const;
    // EXTSST for a table whose strings start at `starts`.
    static void WriteExtSst(RecordWriter& out, std::span<const xls::StoredStringStart> starts);

private:
    struct Entry {
        std::u16string_view text;
        std::size_t hash;
        bool wide;
    };

    void resizeSlots(std::size_t count);
    void writeStrings(RecordWriter& out, std::vector<xls::StoredStringStart>& starts) const;

    std::vector<Entry> strings_;
    // Open addressing: string index + 1 by hash, 0 for a free slot; the size
    // is a power of two.
    std::vector<std::uint32_t> slots_;
    std::uint32_t total_ = 0;
    bool loneSurrogate_ = false;
};

} // namespace tomorine::biff
