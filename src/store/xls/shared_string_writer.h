#pragma once

#include "store/xls/record_writer.h"

#include <cstdint>
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

    // SST, split into CONTINUE records by the BIFF8 rules, then EXTSST.
    void write(RecordWriter& out) const;

private:
    struct Bucket {
        std::uint32_t streamPosition;
        std::uint16_t offsetInRecord;
    };

    struct Entry {
        std::u16string_view text;
        std::size_t hash;
        bool wide;
    };

    void resizeSlots(std::size_t count);
    std::uint32_t bucketSize() const;
    void writeExtSst(RecordWriter& out, const std::vector<Bucket>& buckets) const;

    std::vector<Entry> strings_;
    // Open addressing: string index + 1 by hash, 0 for a free slot; the size
    // is a power of two.
    std::vector<std::uint32_t> slots_;
    std::uint32_t total_ = 0;
    bool loneSurrogate_ = false;
};

} // namespace tomorine::biff
