#pragma once

#include "store/workbook/cell.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tomorine {

// Hash and equality of field names without ASCII letter case, usable with a
// string_view key so that a lookup allocates nothing.
struct FieldNameHash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view name) const noexcept;
};
struct FieldNameEqual {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const noexcept;
};

// Rows picked from a sheet, read where they lie (see SheetRows::select). A
// Null field is an empty Cell; numbers come back as Number cells, texts as
// Text cells.
class Recordset {
public:
    // A closed recordset.
    Recordset() = default;
    // An open recordset that reads its rows where they lie: row i is
    // *rows[i] (cells past its end are empty), owned by `owner`, which
    // nobody may change while the recordset lives.
    Recordset(std::vector<std::u16string> fieldNames, std::shared_ptr<const void> owner,
              std::vector<const std::vector<Cell>*> rows);

    bool isOpen() const { return open_; }
    // Releases the rows; a closed recordset has no rows and no fields.
    void close();

    // As ADO: with no rows both are true; otherwise the first row is current.
    bool bof() const { return rows_ == 0 || position_ < 0; }
    bool eof() const { return rows_ == 0 || position_ >= rows_; }
    void moveFirst();
    // Stays at EOF once there.
    void moveNext();
    // Moves by `count` rows (negative moves back); stops at BOF or EOF.
    void move(long count);
    long recordCount() const { return rows_; }
    // Zero-based row number of the current row; -1 at BOF, recordCount() at EOF.
    long position() const { return position_; }

    int fieldCount() const { return static_cast<int>(names_.size()); }
    // Index of a field; names compare without ASCII letter case, the first of
    // equal names wins. Error 3265 (naming the field) when there is no such field.
    int fieldIndex(std::u16string_view name) const;
    // Value of a field of the current row. Error 3021 at BOF or EOF, 3265
    // for an index out of range.
    const Cell& field(int index) const;
    const Cell& field(std::u16string_view name) const { return field(fieldIndex(name)); }

private:
    bool open_ = false;
    std::vector<std::u16string> names_;
    std::unordered_map<std::u16string, int, FieldNameHash, FieldNameEqual> index_;
    std::vector<bool> firstOfName_;     // no earlier field has the same name
    std::shared_ptr<const void> owner_; // keeps the rows read in place alive
    std::vector<const std::vector<Cell>*> inPlace_;
    long rows_ = 0;
    long position_ = 0;
    // Readers ask for fields in the same order on every row: the field after
    // the last one found is tried before the hash.
    mutable int nextGuess_ = 0;
};

} // namespace tomorine
