#pragma once

#include <atomic>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace tomorine {

enum class CellKind : std::uint8_t { Empty, Number, Text, Boolean, Error };

// One cell's value in 8 bytes, so that a full data sheet (65,536 rows by 58
// columns, most of them empty) stays small. A number is its own bits; the
// other kinds live in NaN bit patterns that no number takes, because every
// NaN is stored as the one quiet NaN. A text is held through a pointer to a
// counted, immutable block with its characters inline: copies of a cell
// share one text (safe across threads), and the reader's cells share the
// shared-string table's texts. An empty text is a text, not an empty cell;
// callers that mean "clear the cell" use an empty Cell.
class Cell {
public:
    Cell() noexcept : bits_(kEmpty) {}
    ~Cell() {
        if (holdsText()) {
            dropText();
        }
    }
    Cell(const Cell& other) noexcept : bits_(other.bits_) {
        if (holdsText()) {
            shared()->references.fetch_add(1, std::memory_order_relaxed);
        }
    }
    Cell(Cell&& other) noexcept : bits_(other.bits_) { other.bits_ = kEmpty; }
    Cell& operator=(const Cell& other) noexcept;
    Cell& operator=(Cell&& other) noexcept;

    static Cell number(double value);
    static Cell text(std::u16string_view value);
    static Cell boolean(bool value);
    // Excel's error codes: 0x00 #NULL!, 0x07 #DIV/0!, 0x0F #VALUE!, 0x17 #REF!,
    // 0x1D #NAME?, 0x24 #NUM!, 0x2A #N/A.
    static Cell error(std::uint8_t code);

    CellKind kind() const {
        const std::uint64_t tag = (bits_ >> kTagShift) - kFirstTag;
        return tag <= static_cast<std::uint64_t>(CellKind::Error) ? static_cast<CellKind>(tag)
                                                                  : CellKind::Number;
    }
    bool isEmpty() const { return bits_ == kEmpty; }
    double asNumber() const {
        return kind() == CellKind::Number ? std::bit_cast<double>(bits_) : 0.0;
    }
    // Valid while this cell, or a copy of it, holds the text.
    std::u16string_view asText() const {
        return holdsText() ? std::u16string_view(shared()->chars(), shared()->size)
                           : std::u16string_view();
    }
    bool asBoolean() const { return bits_ == (kBoolean | 1); }
    std::uint8_t errorCode() const {
        return (bits_ & ~kPayload) == kError ? static_cast<std::uint8_t>(bits_ & 0xFF) : 0;
    }

    bool operator==(const Cell& other) const;

private:
    struct SharedText {
        std::atomic<std::uint32_t> references;
        std::uint32_t size;
        // The characters follow the header in the same block.
        const char16_t* chars() const { return reinterpret_cast<const char16_t*>(this + 1); }
        char16_t* chars() { return reinterpret_cast<char16_t*>(this + 1); }
    };

    // The top 16 bits of a kind other than a number are kFirstTag plus the
    // kind's value; numbers never take them (0xFFF8 to 0xFFFC are NaNs).
    static constexpr std::uint64_t kTagShift = 48;
    static constexpr std::uint64_t kFirstTag = 0xFFF8;
    static constexpr std::uint64_t kPayload = (std::uint64_t{1} << kTagShift) - 1;
    static constexpr std::uint64_t kEmpty = (kFirstTag + std::uint64_t(CellKind::Empty))
                                            << kTagShift;
    static constexpr std::uint64_t kText = (kFirstTag + std::uint64_t(CellKind::Text)) << kTagShift;
    static constexpr std::uint64_t kBoolean = (kFirstTag + std::uint64_t(CellKind::Boolean))
                                              << kTagShift;
    static constexpr std::uint64_t kError = (kFirstTag + std::uint64_t(CellKind::Error))
                                            << kTagShift;

    explicit Cell(std::uint64_t bits) noexcept : bits_(bits) {}
    bool holdsText() const { return (bits_ & ~kPayload) == kText; }
    SharedText* shared() const {
        return reinterpret_cast<SharedText*>(static_cast<std::uintptr_t>(bits_ & kPayload));
    }
    // Gives up this cell's reference to its text; the last one frees it.
    void dropText() noexcept;

    std::uint64_t bits_;
};

static_assert(sizeof(Cell) == 8);

// "#N/A" and friends; "#ERR<n>" for codes Excel does not define.
std::u16string ErrorText(std::uint8_t code);

// A number as the spreadsheet shows it in a general cell: integers without a
// decimal point, others with up to 15 significant digits.
std::u16string FormatNumber(double value);

} // namespace tomorine
