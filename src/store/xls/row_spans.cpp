#include "store/xls/row_spans.h"

#include "store/xls/biff_records.h"
#include "store/xls/format_records.h"
#include "store/xls/le_read.h"

namespace tomorine::xls {

namespace {
constexpr std::size_t kRowBody = 16;
} // namespace

std::size_t OwnCellBody(std::uint16_t id) {
    switch (id) {
    case biff::LabelSst:
    case biff::Rk:
        return 10;
    case biff::Number:
        return 14;
    case biff::BoolErr:
        return 8;
    default:
        return 0;
    }
}

void RowSpanRecorder::record(std::uint16_t id, std::size_t begin, std::size_t end,
                             std::span<const std::uint8_t> body) {
    const std::size_t cellBody = OwnCellBody(id);
    if (!valid_ || (id != biff::Row && cellBody == 0)) {
        rowsEnded_ = rowsEnded_ || !rows_.empty();
        return;
    }
    if (id == biff::Row) {
        const int row = body.size() == kRowBody ? Le16(body.data()) + 1 : 0;
        // A row without cells is never written.
        valid_ =
            !rowsEnded_ && row > 0 &&
            (rows_.empty() || (row > rows_.back().row && rows_.back().end > rows_.back().begin));
        rows_.push_back(
            {row, static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(begin)});
        return;
    }
    valid_ = !rowsEnded_ && !rows_.empty() && body.size() == cellBody &&
             Le16(body.data()) + 1 == rows_.back().row &&
             Le16(body.data() + 4) == biff::DefaultCellXf;
    if (valid_) {
        rows_.back().end = static_cast<std::uint32_t>(end);
    }
}

} // namespace tomorine::xls
