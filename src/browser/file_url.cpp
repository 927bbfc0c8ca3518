#include "browser/file_url.h"

#include "store/workbook/ascii_case.h"

#include <unistd.h>

namespace tomorine {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && AsciiLower(text.substr(0, prefix.size())) == prefix;
}

int HexValue(char c) {
    const std::size_t value = std::string_view("0123456789abcdef0123456789ABCDEF").find(c);
    return value == std::string_view::npos ? -1 : static_cast<int>(value % 16);
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    if (out.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    return out;
}

bool IsThisHost(std::string_view host) {
    if (host.empty() || (host.size() == 9 && StartsWithNoCase(host, "localhost"))) {
        return true;
    }
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 && host == name;
}

} // namespace

std::vector<std::string> ParseUriList(std::string_view uriList) {
    std::vector<std::string> uris;
    while (!uriList.empty()) {
        size_t end = uriList.find('\n');
        std::string_view line = uriList.substr(0, end);
        uriList.remove_prefix(end == std::string_view::npos ? uriList.size() : end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        if (!line.empty() && line.front() != '#') {
            uris.emplace_back(line);
        }
    }
    return uris;
}

std::optional<std::filesystem::path> FileUrlToPath(std::string_view url) {
    if (!StartsWithNoCase(url, "file:")) {
        return std::nullopt;
    }
    std::string_view rest = url.substr(5);
    // Query and fragment are not part of a file's name.
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        size_t slash = rest.find('/');
        if (slash == std::string_view::npos || !IsThisHost(rest.substr(0, slash))) {
            return std::nullopt;
        }
        rest.remove_prefix(slash);
    }
    if (!rest.starts_with("/")) {
        return std::nullopt;
    }
    std::optional<std::string> path = Unescape(rest);
    if (!path) {
        return std::nullopt;
    }
    return std::filesystem::path(*path);
}

} // namespace tomorine
