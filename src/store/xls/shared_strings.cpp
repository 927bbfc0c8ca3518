#include "store/xls/shared_strings.h"

#include "store/xls/continued_reader.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_fault.h"

#include <algorithm>

namespace tomorine::xls {

std::vector<Cell> ReadSharedStrings(std::span<const std::uint8_t> body, BiffRecordReader& records) {
    if (body.size() < 8) {
        Fail(FaultKind::Corrupt, "共有文字列表 (SST) が短すぎます");
    }
    const std::uint32_t count = Le32(body.data() + 4);
    ContinuedReader in(body.subspan(8), records, "共有文字列表 (SST) ");
    std::vector<Cell> strings;
    // Every string takes at least 3 bytes, whatever the count says.
    strings.reserve(std::min<std::size_t>(count, (body.size() + records.remaining()) / 3));
    while (strings.size() < count && !in.atEnd()) {
        strings.push_back(Cell::text(in.string(2, true)));
    }
    return strings;
}

} // namespace tomorine::xls
