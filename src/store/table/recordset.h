#pragma once

#include "store/workbook/cell.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tomorine {

// A client-side result: every row is fetched when the statement runs, so the
// recordset stays valid after its connection changes or closes. A Null field
// is an empty Cell; numbers come back as Number cells, texts as Text cells.
class Recordset {
public:
    Recordset() = default;
    Recordset(std::vector<std::u16string> fieldNames, std::vector<Cell> values);

    bool isOpen() const { return open_; }
    void close();

    // As ADO: with no rows both are true; otherwise the first row is current.
    bool bof() const;
    bool eof() const;
    void moveFirst();
    void moveNext();
    // Moves by `count` rows (negative moves back); stops at BOF or EOF.
    void move(long count);
    long recordCount() const { return rows_; }
    long position() const { return position_; }

    int fieldCount() const { return static_cast<int>(names_.size()); }
    const std::u16string& fieldName(int index) const { return names_.at(index); }
    // Index of a field; names compare without ASCII letter case. Error 3265
    // (the name is given in the description) when there is no such field.
    int fieldIndex(std::u16string_view name) const;
    // Value of a field of the current row. Error 3021 at BOF or EOF.
    const Cell& field(int index) const;
    const Cell& field(std::u16string_view name) const { return field(fieldIndex(name)); }

private:
    bool open_ = false;
    std::vector<std::u16string> names_;
    std::unordered_map<std::u16string, int> index_; // folded name -> index
    std::vector<Cell> values_;                      // row-major
    long rows_ = 0;
    long position_ = 0;
};

} // namespace tomorine
