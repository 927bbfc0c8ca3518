#include "store/workbook/utf.h"

#include <cstdint>
#include <cstring>

namespace tomorine {

namespace {

void Encode(std::string& out, std::u16string_view text, bool keepLoneSurrogates) {
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
        } else if (!keepLoneSurrogates && (IsHighSurrogate(c) || IsLowSurrogate(c))) {
            c = 0xFFFD;
        }
        p = PutUtf8(p, c);
    }
    out.resize(static_cast<size_t>(p - begin));
}

// Length of the well-formed multi-byte sequence starting at s, and its code
// point in `c`; 0 when malformed (the caller then takes one byte as U+FFFD).
size_t DecodeOne(const unsigned char* s, const unsigned char* end, char32_t& c) {
    const unsigned b = *s;
    const auto left = end - s;
    if (b >= 0xE0 && b < 0xF0 && left >= 3 && ((s[1] ^ 0x80) | (s[2] ^ 0x80)) < 0x40) {
        c = ((b & 0x0F) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
        return c >= 0x800 ? 3 : 0;
    }
    if (b >= 0xC2 && b < 0xE0 && left >= 2 && (s[1] ^ 0x80) < 0x40) {
        c = ((b & 0x1F) << 6) | (s[1] & 0x3Fu);
        return 2;
    }
    if (b >= 0xF0 && b < 0xF5 && left >= 4 &&
        ((s[1] ^ 0x80) | (s[2] ^ 0x80) | (s[3] ^ 0x80)) < 0x40) {
        c = ((b & 0x07) << 18) | ((s[1] & 0x3Fu) << 12) | ((s[2] & 0x3Fu) << 6) | (s[3] & 0x3Fu);
        return c >= 0x10000 && c <= 0x10FFFF ? 4 : 0;
    }
    return 0;
}

} // namespace

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    Encode(out, text, false);
    return out;
}

void AssignUtf8(std::string& out, std::u16string_view text) {
    Encode(out, text, true);
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
        if (*s < 0x80) {
            *p++ = static_cast<char16_t>(*s++);
            continue;
        }
        char32_t c = 0;
        size_t length = DecodeOne(s, end, c);
        if (length == 0) {
            *p++ = u'\uFFFD';
            ++s;
            continue;
        }
        s += length;
        if (c >= 0x10000) {
            c -= 0x10000;
            *p++ = static_cast<char16_t>(0xD800 + (c >> 10));
            *p++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            *p++ = static_cast<char16_t>(c);
        }
    }
    return std::u16string(begin, p);
}

std::u16string FromUtf8(std::string_view text) {
    std::u16string scratch;
    return DecodeUtf8(text, scratch);
}

namespace {

// Calls `lone` with the position of each half that has no partner beside it.
template <typename Lone>
void ForEachLoneSurrogate(std::u16string_view text, Lone lone) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            lone(i);
        }
    }
}

// Whether any unit is half of a surrogate pair, four units a step: almost no
// text holds one, and every text read is asked.
bool AnySurrogate(std::u16string_view text) {
    constexpr std::uint64_t kHalfMask = 0xF800F800F800F800, kHalves = 0xD800D800D800D800;
    constexpr std::uint64_t kOnes = 0x0001000100010001, kSigns = 0x8000800080008000;
    std::size_t i = 0;
    for (; i + 4 <= text.size(); i += 4) {
        std::uint64_t units = 0;
        std::memcpy(&units, text.data() + i, sizeof units);
        const std::uint64_t x = (units & kHalfMask) ^ kHalves; // a surrogate's unit is 0
        if (((x - kOnes) & ~x & kSigns) != 0) {
            return true;
        }
    }
    for (; i < text.size(); ++i) {
        if ((text[i] & 0xF800) == 0xD800) {
            return true;
        }
    }
    return false;
}

} // namespace

bool HasLoneSurrogate(std::u16string_view text) {
    if (!AnySurrogate(text)) {
        return false;
    }
    bool found = false;
    ForEachLoneSurrogate(text, [&](std::size_t) { found = true; });
    return found;
}

std::u16string ReplaceLoneSurrogates(std::u16string_view text) {
    std::u16string replaced(text);
    ForEachLoneSurrogate(text, [&](std::size_t at) { replaced[at] = u'\uFFFD'; });
    return replaced;
}

} // namespace tomorine
