#include "store/table/utf8_buffer.h"

#include "store/workbook/utf.h"

namespace tomorine {

namespace {

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

char* Encode(char* p, char32_t c) {
    if (c < 0x80) {
        *p++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *p++ = static_cast<char>(0xC0 | (c >> 6));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (c >> 12));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (c >> 18));
        *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return p;
}

} // namespace

void AssignUtf8(std::string& out, std::u16string_view text) {
    // Three bytes per code unit is the most any unit (or pair) needs.
    out.resize(text.size() * 3);
    char* begin = out.data();
    char* p = begin;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            *p++ = static_cast<char>(c);
            continue;
        }
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        // A lone surrogate keeps its own three-byte form: a chunk may end
        // inside a pair, and joining the chunks must give the pair back.
        p = Encode(p, c);
    }
    out.resize(static_cast<size_t>(p - begin));
}

std::u16string DecodeUtf8(std::string_view text, std::u16string& scratch) {
    // Decoded into scratch space first, then copied at its exact size: a
    // recordset keeps these strings, so no slack. No UTF-8 text has more
    // code units than bytes.
    if (scratch.size() < text.size()) {
        scratch.resize(text.size());
    }
    char16_t* begin = scratch.data();
    char16_t* p = begin;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = s + text.size();
    while (s < end) {
        unsigned b = *s;
        if (b < 0x80) {
            *p++ = static_cast<char16_t>(b);
            ++s;
            continue;
        }
        if (b >= 0xE0 && b < 0xF0 && end - s >= 3 && ((s[1] ^ 0x80) | (s[2] ^ 0x80)) < 0x40) {
            unsigned c = ((b & 0x0F) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
            if (c < 0x800) {
                return FromUtf8(text);
            }
            *p++ = static_cast<char16_t>(c);
            s += 3;
            continue;
        }
        if (b >= 0xC2 && b < 0xE0 && end - s >= 2 && (s[1] ^ 0x80) < 0x40) {
            *p++ = static_cast<char16_t>(((b & 0x1F) << 6) | (s[1] & 0x3Fu));
            s += 2;
            continue;
        }
        if (b >= 0xF0 && b < 0xF5 && end - s >= 4 &&
            ((s[1] ^ 0x80) | (s[2] ^ 0x80) | (s[3] ^ 0x80)) < 0x40) {
            unsigned c = ((b & 0x07) << 18) | ((s[1] & 0x3Fu) << 12) | ((s[2] & 0x3Fu) << 6) |
                         (s[3] & 0x3Fu);
            if (c < 0x10000 || c > 0x10FFFF) {
                return FromUtf8(text);
            }
            c -= 0x10000;
            *p++ = static_cast<char16_t>(0xD800 + (c >> 10));
            *p++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
            s += 4;
            continue;
        }
        // Anything malformed (never written by AssignUtf8): the careful way.
        return FromUtf8(text);
    }
    return std::u16string(begin, p);
}

} // namespace tomorine
