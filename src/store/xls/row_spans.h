#pragma once

#include "store/xls/stored_layout.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tomorine::xls {

// The body size of each cell record a save writes; 0 for other records.
std::size_t OwnCellBody(std::uint16_t id);

// Follows a worksheet's records as they are read and notes where each row's
// records lie, as long as the sheet is laid out as this codec writes it: one
// block of rows in ascending order, each a ROW record followed by its own
// cells in the default format and in records a save writes again as they are.
class RowSpanRecorder {
public:
    void record(std::uint16_t id, std::size_t begin, std::size_t end,
                std::span<const std::uint8_t> body);
    bool valid() const {
        return valid_ && (rows_.empty() || rows_.back().end > rows_.back().begin);
    }
    std::vector<StoredRow> take() { return std::move(rows_); }

private:
    bool valid_ = true;
    bool rowsEnded_ = false;
    std::vector<StoredRow> rows_;
};

} // namespace tomorine::xls
