#include "store/table/cell_value.h"

#include "store/workbook/utf.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace tomorine {

namespace {

// Beyond 2^53 a double no longer holds every integer; such values stay real.
constexpr double kExactIntegerLimit = 9007199254740992.0;

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

bool IsDigitOrPoint(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

bool Integral(double value) {
    return value == std::floor(value) && std::fabs(value) < kExactIntegerLimit;
}

Cell NumberOf(double value) {
    return Cell::number(Integral(value) ? static_cast<double>(static_cast<std::int64_t>(value))
                                        : value);
}

} // namespace

std::optional<double> ParseNumber(std::string_view text) {
    text = TrimSpaces(text);
    bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (negative || text.front() == '+')) {
        text.remove_prefix(1);
    }
    // from_chars alone would also take "inf", "nan" and a second sign.
    if (text.empty() || !IsDigitOrPoint(text.front())) {
        return std::nullopt;
    }
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

Cell ReadAs(const Cell& cell, ColumnKind kind) {
    if (kind == ColumnKind::Number) {
        if (cell.kind() == CellKind::Number) {
            return NumberOf(cell.asNumber());
        }
        std::optional<double> number;
        if (cell.kind() == CellKind::Text) {
            number = ParseNumber(ToUtf8(cell.asText()));
        }
        return number ? NumberOf(*number) : Cell();
    }
    switch (cell.kind()) {
    case CellKind::Text:
        return cell.asText().empty() ? Cell() : cell;
    case CellKind::Number:
        return Cell::text(FormatNumber(cell.asNumber()));
    case CellKind::Boolean:
        return Cell::text(cell.asBoolean() ? u"TRUE" : u"FALSE");
    default:
        return Cell();
    }
}

Cell StoreAs(std::u16string_view text, ColumnKind kind) {
    if (text.empty()) {
        return Cell();
    }
    if (kind == ColumnKind::Number) {
        if (std::optional<double> number = ParseNumber(ToUtf8(text))) {
            return Cell::number(*number);
        }
    }
    return Cell::text(text);
}

} // namespace tomorine
