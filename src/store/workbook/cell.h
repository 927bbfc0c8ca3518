#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tomorine {

enum class CellKind : std::uint8_t { Empty, Number, Text, Boolean, Error };

// One cell's value. A text is held through a pointer so that a cell takes 16
// bytes: a full sheet (65,536 rows by 58 columns) has to fit comfortably.
// Texts never change once made, so copies of a cell share one text (counted
// references, safe across threads): copying a row or a workbook copies no
// characters, and the reader's cells share the shared-string table's texts.
// An empty text is a text, not an empty cell; callers that mean "clear the
// cell" use an empty Cell.
class Cell {
public:
    Cell() noexcept : kind_(CellKind::Empty), code_(0), number_(0) {}
    ~Cell() { reset(); }
    Cell(const Cell& other);
    Cell(Cell&& other) noexcept;
    Cell& operator=(const Cell& other);
    Cell& operator=(Cell&& other) noexcept;

    static Cell number(double value);
    static Cell text(std::u16string value);
    static Cell boolean(bool value);
    // Excel's error codes: 0x00 #NULL!, 0x07 #DIV/0!, 0x0F #VALUE!, 0x17 #REF!,
    // 0x1D #NAME?, 0x24 #NUM!, 0x2A #N/A.
    static Cell error(std::uint8_t code);

    CellKind kind() const { return kind_; }
    bool isEmpty() const { return kind_ == CellKind::Empty; }
    double asNumber() const { return kind_ == CellKind::Number ? number_ : 0.0; }
    const std::u16string& asText() const;
    bool asBoolean() const { return kind_ == CellKind::Boolean && code_ != 0; }
    std::uint8_t errorCode() const { return kind_ == CellKind::Error ? code_ : 0; }

    bool operator==(const Cell& other) const;

private:
    void reset() noexcept;

    struct SharedText;

    CellKind kind_;
    std::uint8_t code_; // boolean value or error code
    union {
        double number_;
        SharedText* text_;
    };
};

// "#N/A" and friends; "#ERR<n>" for codes Excel does not define.
std::u16string ErrorText(std::uint8_t code);

// A number as the spreadsheet shows it in a general cell: integers without a
// decimal point, others with up to 15 significant digits.
std::u16string FormatNumber(double value);

} // namespace tomorine
