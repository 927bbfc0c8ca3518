#include "store/table/cell_value.h"

#include "store/workbook/utf.h"

#include <charconv>
#include <cmath>

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

void SetNumber(sqlite3_context* context, double value) {
    if (value == std::floor(value) && std::fabs(value) < kExactIntegerLimit) {
        sqlite3_result_int64(context, static_cast<sqlite3_int64>(value));
    } else {
        sqlite3_result_double(context, value);
    }
}

bool SetText(sqlite3_context* context, std::u16string_view text, std::string& buffer) {
    if (text.empty()) {
        sqlite3_result_null(context);
        return false;
    }
    AssignUtf8(buffer, text);
    sqlite3_result_text(context, buffer.data(), static_cast<int>(buffer.size()), SQLITE_TRANSIENT);
    return true;
}

void SetNumberColumn(sqlite3_context* context, const Cell& cell, std::string& buffer) {
    if (cell.kind() == CellKind::Number) {
        SetNumber(context, cell.asNumber());
        return;
    }
    if (cell.kind() == CellKind::Text) {
        AssignUtf8(buffer, cell.asText());
        if (std::optional<double> number = ParseNumber(buffer)) {
            SetNumber(context, *number);
            return;
        }
    }
    sqlite3_result_null(context);
}

bool SetTextColumn(sqlite3_context* context, const Cell& cell, std::string& buffer) {
    switch (cell.kind()) {
    case CellKind::Text:
        return SetText(context, cell.asText(), buffer);
    case CellKind::Number:
        return SetText(context, FormatNumber(cell.asNumber()), buffer);
    case CellKind::Boolean:
        sqlite3_result_text(context, cell.asBoolean() ? "TRUE" : "FALSE", -1, SQLITE_STATIC);
        return false;
    default:
        sqlite3_result_null(context);
        return false;
    }
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

bool SetResult(sqlite3_context* context, const Cell& cell, ColumnKind kind, std::string& buffer) {
    if (kind == ColumnKind::Number) {
        SetNumberColumn(context, cell, buffer);
        return false;
    }
    return SetTextColumn(context, cell, buffer);
}

Cell CellFromValue(sqlite3_value* value, ColumnKind kind) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return Cell();
    case SQLITE_INTEGER:
        return Cell::number(static_cast<double>(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
        return Cell::number(sqlite3_value_double(value));
    default:
        break;
    }
    auto bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
    std::string_view text(bytes ? bytes : "", static_cast<size_t>(sqlite3_value_bytes(value)));
    if (text.empty()) {
        return Cell();
    }
    if (kind == ColumnKind::Number) {
        if (std::optional<double> number = ParseNumber(text)) {
            return Cell::number(*number);
        }
    }
    std::u16string scratch;
    return Cell::text(DecodeUtf8(text, scratch));
}

} // namespace tomorine
