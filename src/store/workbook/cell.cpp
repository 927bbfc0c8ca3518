#include "store/workbook/cell.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace tomorine {

namespace {
// Every NaN number becomes this one, so that no number takes a tag's bits.
constexpr std::uint64_t kQuietNaN = 0x7FF8'0000'0000'0000;
} // namespace

Cell& Cell::operator=(const Cell& other) noexcept {
    if (this != &other) {
        Cell copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Cell& Cell::operator=(Cell&& other) noexcept {
    if (this != &other) {
        if (holdsText()) {
            dropText();
        }
        bits_ = std::exchange(other.bits_, kEmpty);
    }
    return *this;
}

void Cell::dropText() noexcept {
    SharedText* text = shared();
    if (text->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        text->~SharedText();
        ::operator delete(text);
    }
    bits_ = kEmpty;
}

Cell Cell::number(double value) {
    return Cell(std::isnan(value) ? kQuietNaN : std::bit_cast<std::uint64_t>(value));
}

Cell Cell::text(std::u16string_view value) {
    if (value.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("cell text too long");
    }
    void* block = ::operator new(sizeof(SharedText) + value.size() * sizeof(char16_t));
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    if ((address & ~kPayload) != 0) {
        ::operator delete(block);
        throw std::bad_alloc(); // an address beyond 48 bits does not fit the tag
    }
    auto* text = new (block) SharedText{{1}, static_cast<std::uint32_t>(value.size())};
    std::copy(value.begin(), value.end(), text->chars());
    return Cell(kText | address);
}

Cell Cell::boolean(bool value) {
    return Cell(kBoolean | (value ? 1 : 0));
}

Cell Cell::error(std::uint8_t code) {
    return Cell(kError | code);
}

bool Cell::operator==(const Cell& other) const {
    const CellKind k = kind();
    if (k != other.kind()) {
        return false;
    }
    if (k == CellKind::Number) {
        return asNumber() == other.asNumber();
    }
    if (k == CellKind::Text) {
        return bits_ == other.bits_ || asText() == other.asText();
    }
    return bits_ == other.bits_;
}

std::u16string ErrorText(std::uint8_t code) {
    switch (code) {
    case 0x00:
        return u"#NULL!";
    case 0x07:
        return u"#DIV/0!";
    case 0x0F:
        return u"#VALUE!";
    case 0x17:
        return u"#REF!";
    case 0x1D:
        return u"#NAME?";
    case 0x24:
        return u"#NUM!";
    case 0x2A:
        return u"#N/A";
    default: {
        std::string s = "#ERR" + std::to_string(code);
        return std::u16string(s.begin(), s.end());
    }
    }
}

std::u16string FormatNumber(double value) {
    char buf[64];
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
        std::snprintf(buf, sizeof buf, "%.0f", value);
    } else {
        std::snprintf(buf, sizeof buf, "%.15G", value);
    }
    std::string s(buf);
    if (s == "-0") {
        s = "0";
    }
    return std::u16string(s.begin(), s.end());
}

} // namespace tomorine
