#include "bookmarks/lenient_json.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace tomorine {

namespace {

bool InRange(std::string_view text, size_t i, unsigned low, unsigned high) {
    if (i >= text.size()) {
        return false;
    }
    const auto byte = static_cast<unsigned char>(text[i]);
    return byte >= low && byte <= high;
}

// The length of the valid UTF-8 character at `i` (RFC 3629), 0 if none.
size_t CharacterLength(std::string_view text, size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        return 1;
    }
    unsigned low = 0x80, high = 0xBF;
    size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (!InRange(text, i + 1, low, high)) {
        return 0;
    }
    for (size_t k = 2; k < length; ++k) {
        if (!InRange(text, i + k, 0x80, 0xBF)) {
            return 0;
        }
    }
    return length;
}

// The value of the \uXXXX escape at `i`, or -1.
long EscapeValue(std::string_view text, size_t i) {
    if (i + 6 > text.size() || text[i] != '\\' || text[i + 1] != 'u') {
        return -1;
    }
    std::uint16_t value = 0;
    const char* end = text.data() + i + 6;
    const auto read = std::from_chars(text.data() + i + 2, end, value, 16);
    return read.ec == std::errc() && read.ptr == end ? value : -1;
}

class Mender {
public:
    explicit Mender(std::string_view text) : text_(text) {}

    std::optional<std::string> run(int& replaced) {
        bool inString = false;
        size_t i = 0;
        while (i < text_.size()) {
            const char c = text_[i];
            if (inString && c == '\\') {
                i = escape(i);
                continue;
            }
            if (c == '"') {
                inString = !inString;
            }
            const size_t length = CharacterLength(text_, i);
            if (length == 0) {
                replace(i, 1, "\xEF\xBF\xBD");
                ++i;
            } else {
                i += length;
            }
        }
        replaced = replaced_;
        if (replaced_ == 0) {
            return std::nullopt;
        }
        out_.append(text_.substr(copied_));
        return std::move(out_);
    }

private:
    // Past the escape at `i`, a lone surrogate replaced.
    size_t escape(size_t i) {
        const long value = EscapeValue(text_, i);
        if (value >= 0xD800 && value <= 0xDBFF) {
            const long low = EscapeValue(text_, i + 6);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                return i + 12;
            }
        }
        if (value >= 0xD800 && value <= 0xDFFF) {
            replace(i, 6, "\\ufffd");
            return i + 6;
        }
        return std::min(i + 2, text_.size()); // the parser judges any other escape
    }

    void replace(size_t at, size_t length, std::string_view with) {
        out_.append(text_.substr(copied_, at - copied_));
        out_.append(with);
        copied_ = at + length;
        ++replaced_;
    }

    std::string_view text_;
    std::string out_;
    size_t copied_ = 0;
    int replaced_ = 0;
};

} // namespace

std::optional<std::string> MendedJson(std::string_view text, int& replaced) {
    return Mender(text).run(replaced);
}

} // namespace tomorine
