#include "store/workbook/cell.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <utility>

namespace tomorine {

namespace {
const std::u16string kNoText;
}

struct Cell::SharedText {
    std::atomic<std::uint32_t> references{1};
    const std::u16string text;
};

Cell::Cell(const Cell& other) : kind_(other.kind_), code_(other.code_), number_(0) {
    if (kind_ == CellKind::Text) {
        text_ = other.text_;
        text_->references.fetch_add(1, std::memory_order_relaxed);
    } else {
        number_ = other.number_;
    }
}

Cell::Cell(Cell&& other) noexcept : kind_(other.kind_), code_(other.code_), number_(0) {
    if (kind_ == CellKind::Text) {
        text_ = std::exchange(other.text_, nullptr);
        other.kind_ = CellKind::Empty;
    } else {
        number_ = other.number_;
    }
}

Cell& Cell::operator=(const Cell& other) {
    if (this != &other) {
        Cell copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Cell& Cell::operator=(Cell&& other) noexcept {
    if (this != &other) {
        reset();
        kind_ = other.kind_;
        code_ = other.code_;
        if (kind_ == CellKind::Text) {
            text_ = std::exchange(other.text_, nullptr);
            other.kind_ = CellKind::Empty;
        } else {
            number_ = other.number_;
        }
    }
    return *this;
}

void Cell::reset() noexcept {
    if (kind_ == CellKind::Text && text_->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete text_;
    }
    kind_ = CellKind::Empty;
    number_ = 0;
}

Cell Cell::number(double value) {
    Cell c;
    c.kind_ = CellKind::Number;
    c.number_ = value;
    return c;
}

Cell Cell::text(std::u16string value) {
    Cell c;
    c.text_ = new SharedText{{1}, std::move(value)};
    c.kind_ = CellKind::Text;
    return c;
}

Cell Cell::boolean(bool value) {
    Cell c;
    c.kind_ = CellKind::Boolean;
    c.code_ = value ? 1 : 0;
    return c;
}

Cell Cell::error(std::uint8_t code) {
    Cell c;
    c.kind_ = CellKind::Error;
    c.code_ = code;
    return c;
}

const std::u16string& Cell::asText() const {
    return kind_ == CellKind::Text ? text_->text : kNoText;
}

bool Cell::operator==(const Cell& other) const {
    if (kind_ != other.kind_) {
        return false;
    }
    switch (kind_) {
    case CellKind::Empty:
        return true;
    case CellKind::Number:
        return number_ == other.number_;
    case CellKind::Text:
        return text_ == other.text_ || text_->text == other.text_->text;
    default:
        return code_ == other.code_;
    }
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
