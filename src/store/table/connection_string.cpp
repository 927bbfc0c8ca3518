#include "store/table/connection.h"
#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"

#include <algorithm>

namespace tomorine {

namespace {

size_t FindNoCase(std::u16string_view text, std::u16string_view word) {
    auto found =
        std::search(text.begin(), text.end(), word.begin(), word.end(),
                    [](char16_t a, char16_t b) { return FoldAsciiCase(a) == FoldAsciiCase(b); });
    return found == text.end() ? std::u16string_view::npos
                               : static_cast<size_t>(found - text.begin());
}

size_t FindLastNoCase(std::u16string_view text, std::u16string_view word) {
    auto found =
        std::find_end(text.begin(), text.end(), word.begin(), word.end(),
                      [](char16_t a, char16_t b) { return FoldAsciiCase(a) == FoldAsciiCase(b); });
    return found == text.end() ? std::u16string_view::npos
                               : static_cast<size_t>(found - text.begin());
}

} // namespace

std::u16string Connection::ConnectionString(const std::filesystem::path& path) {
    return u"Driver={Microsoft Excel Driver (*.xls)};DBQ=" + FromUtf8(path.string()) +
           u";ReadOnly=0";
}

std::filesystem::path Connection::PathOf(std::u16string_view connectionString) {
    constexpr std::u16string_view kKey = u"DBQ=";
    size_t key = FindNoCase(connectionString, kKey);
    if (key == std::u16string_view::npos) {
        return {};
    }
    std::u16string_view rest = connectionString.substr(key + kKey.size());
    size_t end = FindLastNoCase(rest, u";ReadOnly=");
    return std::filesystem::path(ToUtf8(rest.substr(0, end)));
}

} // namespace tomorine
