#pragma once

#include "store/workbook/sheet.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tomorine::xls {

// What the cells of one workbook may take in memory, in proportion to the
// file's size: row and column numbers come from the file, and a few bytes
// can name a cell far away.
class CellBudget {
public:
    explicit CellBudget(std::size_t fileSize);
    void charge(std::size_t bytes);

private:
    std::size_t left_;
};

// Collects a sheet's cells by 0-based position, in any order (a later cell
// replaces an earlier one), then hands whole rows to the Sheet.
class SheetBuilder {
public:
    explicit SheetBuilder(CellBudget& budget) : budget_(budget) {}

    void put(std::uint16_t row, std::uint16_t column, Cell value);
    void moveInto(Sheet& sheet);

private:
    CellBudget& budget_;
    std::vector<Sheet::Row> rows_;
    std::size_t widest_ = 0;
};

} // namespace tomorine::xls
