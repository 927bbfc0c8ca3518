#include "store/table/statement_error.h"

#include <string>

namespace tomorine {

namespace {

// The text after `prefix` when `message` starts with it.
bool After(std::string_view message, std::string_view prefix, std::string_view& rest) {
    if (message.substr(0, prefix.size()) != prefix) {
        return false;
    }
    rest = message.substr(prefix.size());
    return true;
}

std::string SheetOf(std::string_view table) {
    if (table.substr(0, 5) == "main.") {
        table.remove_prefix(5);
    }
    if (!table.empty() && table.back() == '$') {
        return "シート「" + std::string(table.substr(0, table.size() - 1)) + "」";
    }
    return "表「" + std::string(table) + "」(シートはシート名 + \"$\" で指定します)";
}

std::string Reason(std::string_view message) {
    std::string_view rest;
    if (After(message, "no such table: ", rest)) {
        return "に" + SheetOf(rest) + "がありません";
    }
    if (After(message, "no such column: ", rest)) {
        return "のシートに列「" + std::string(rest) + "」がありません";
    }
    if (After(message, "table ", rest)) {
        size_t split = rest.find(" has no column named ");
        if (split != std::string_view::npos) {
            return "の" + SheetOf(rest.substr(0, split)) + "に列「" +
                   std::string(rest.substr(split + 21)) + "」がありません";
        }
    }
    if (After(message, "ambiguous column name: ", rest)) {
        return "の列「" + std::string(rest) + "」がどのシートのものか決まりません";
    }
    return "で文を実行できません";
}

} // namespace

WorkbookError StatementError(const std::filesystem::path& file, std::string_view message) {
    return WorkbookError(ErrorNumber::Statement,
                         QuotedPath(file) + Reason(message) + " (" + std::string(message) + ")");
}

WorkbookError StatementRefused(const std::filesystem::path& file, std::string_view reason) {
    return WorkbookError(ErrorNumber::Statement, QuotedPath(file) + ": " + std::string(reason));
}

} // namespace tomorine
