#include "store/xls/shared_strings.h"

#include "store/workbook/utf.h"
#include "store/xls/continued_reader.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_fault.h"

#include <algorithm>

namespace tomorine::xls {

std::vector<Cell> ReadSharedStrings(std::span<const std::uint8_t> body, BiffRecordReader& records,
                                    std::span<const std::uint8_t> stream, StringNotes* notes) {
    if (body.size() < 8) {
        Fail(FaultKind::Corrupt, "共有文字列表 (SST) が短すぎます");
    }
    const std::uint32_t count = Le32(body.data() + 4);
    ContinuedReader in(body.subspan(8), records, "共有文字列表 (SST) ", 4 + 8);
    std::vector<Cell> strings;
    // Every string takes at least 3 bytes, whatever the count says.
    strings.reserve(std::min<std::size_t>(count, (body.size() + records.remaining()) / 3));
    if (notes != nullptr) {
        notes->starts.reserve(strings.capacity());
    }
    // One buffer for all: a new string for each, freed beside the text kept,
    // left the heap in pieces that every later allocation searched.
    std::u16string text;
    while (strings.size() < count && !in.atEnd()) {
        if (notes != nullptr) {
            std::size_t offset = 0;
            const std::uint8_t* at = in.here(offset);
            notes->starts.push_back({static_cast<std::uint32_t>(at - stream.data()),
                                     static_cast<std::uint16_t>(offset)});
        }
        in.string(2, true, text);
        // Checked here, while the text is at hand: a pass over the table
        // afterwards fetched every text from memory again.
        if (notes != nullptr && !notes->loneSurrogate) {
            notes->loneSurrogate = HasLoneSurrogate(text);
        }
        strings.push_back(Cell::text(text));
    }
    return strings;
}

} // namespace tomorine::xls
