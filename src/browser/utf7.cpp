#include "browser/utf7.h"

namespace tomorine {

namespace {

int Base64Value(char c) {
    constexpr std::string_view kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::size_t value = kDigits.find(c);
    return value == std::string_view::npos ? -1 : static_cast<int>(value);
}

// Decodes the base64 run starting at text[i] (after its "+") into `out`;
// false when it is malformed. Leaves i after the run and its closing "-".
bool DecodeRun(std::string_view text, size_t& i, std::u16string& out) {
    unsigned bits = 0;
    int count = 0;
    bool any = false;
    for (; i < text.size() && Base64Value(text[i]) >= 0; ++i) {
        bits = (bits << 6 | static_cast<unsigned>(Base64Value(text[i]))) & 0xFFFFFF;
        count += 6;
        if (count >= 16) {
            count -= 16;
            out += static_cast<char16_t>((bits >> count) & 0xFFFF);
            any = true;
        }
    }
    if (!any || count >= 6 || (bits & ((1u << count) - 1)) != 0) {
        return false;
    }
    if (i < text.size() && text[i] == '-') {
        ++i;
    }
    return true;
}

bool PairedSurrogates(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                return false;
            }
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<std::u16string> DecodeUtf7(std::string_view text) {
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            return std::nullopt;
        }
        if (c != '+') {
            out += static_cast<char16_t>(c);
            ++i;
        } else if (i + 1 < text.size() && text[i + 1] == '-') {
            out += u'+';
            i += 2;
        } else {
            ++i;
            if (!DecodeRun(text, i, out)) {
                return std::nullopt;
            }
        }
    }
    // NUL ends a text everywhere it goes next: no URL holds one.
    if (!PairedSurrogates(out) || out.find(u'\0') != std::u16string::npos) {
        return std::nullopt;
    }
    return out;
}

} // namespace tomorine
