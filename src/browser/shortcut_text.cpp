#include "browser/shortcut_text.h"

#include "browser/utf7.h"
#include "store/settings/ini_document.h"
#include "store/workbook/utf.h"

#include <algorithm>
#include <optional>

namespace tomorine {

namespace {

// The INI reader takes a marked file as UTF-8.
IniDocument ParseUtf8(std::string_view text) {
    std::string bytes = "\xEF\xBB\xBF";
    bytes += text;
    return IniDocument::parse(bytes);
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::optional<std::u16string> UnicodeSectionUrl(const IniDocument& ini) {
    std::optional<std::string> value = ini.value("InternetShortcut.W", "URL");
    if (!value || value->empty()) {
        return std::nullopt;
    }
    if (!IsAscii(*value)) {
        return FromUtf8(*value); // written as UTF-8 by some other program
    }
    return DecodeUtf7(*value);
}

std::u16string UnescapeDesktopValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char c = value[++i];
        out += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
    }
    return FromUtf8(out);
}

} // namespace

std::u16string InternetShortcutUrl(std::string_view text) {
    IniDocument ini = ParseUtf8(text);
    if (std::optional<std::u16string> unicode = UnicodeSectionUrl(ini);
        unicode && !unicode->empty()) {
        return *unicode;
    }
    return FromUtf8(ini.value("InternetShortcut", "URL").value_or(""));
}

std::u16string DesktopLinkUrl(std::string_view text) {
    IniDocument ini = ParseUtf8(text);
    if (ini.value("Desktop Entry", "Type").value_or("") != "Link") {
        return {};
    }
    return UnescapeDesktopValue(ini.value("Desktop Entry", "URL").value_or(""));
}

} // namespace tomorine
