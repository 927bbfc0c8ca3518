#include "htmlexport/cp932_references.h"

#include "store/workbook/utf.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <iconv.h>
#include <memory>

namespace tomorine {

namespace {

constexpr std::uint16_t kNoCode = 0xFFFF; // not a CP932 code

// For every BMP unit, its CP932 code (a single byte below 0x100), or kNoCode.
using CodeTable = std::array<std::uint16_t, 0x10000>;

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) {
            iconv_close(cd_);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or an empty string when any of it fails.
    std::string convert(std::string_view in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[16];
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) {
            return {};
        }
        return std::string(buffer, dst);
    }

private:
    iconv_t cd_;
};

// Walks every CP932 code, keeping those that decode to one BMP character and
// are the code that character encodes to, so that a code read back is that
// same character (the NEC and IBM duplicates are left to their canonical code).
void FillFromConverter(CodeTable& table) {
    Iconv decode("UTF-16LE", "CP932");
    Iconv encode("CP932", "UTF-16LE");
    if (!decode.ok() || !encode.ok()) {
        return;
    }
    auto consider = [&](std::uint16_t code, std::string bytes) {
        const std::string unit = decode.convert(bytes);
        if (unit.size() != 2) {
            return;
        }
        if (encode.convert(unit) != bytes) {
            return;
        }
        const auto c = static_cast<std::uint16_t>(static_cast<std::uint8_t>(unit[0]) |
                                                  static_cast<std::uint8_t>(unit[1]) << 8);
        table[c] = code;
    };
    // The half-width katakana; the other single bytes above ASCII are not
    // read alike by every decoder.
    for (int byte = 0xA1; byte <= 0xDF; ++byte) {
        consider(static_cast<std::uint16_t>(byte), std::string(1, static_cast<char>(byte)));
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            consider(static_cast<std::uint16_t>(lead << 8 | trail),
                     std::string{static_cast<char>(lead), static_cast<char>(trail)});
        }
    }
}

const CodeTable& Table() {
    static const std::unique_ptr<CodeTable> table = [] {
        auto built = std::make_unique<CodeTable>();
        built->fill(kNoCode);
        for (std::uint16_t c = 0; c < 0x80; ++c) {
            (*built)[c] = c;
        }
        FillFromConverter(*built);
        return built;
    }();
    return *table;
}

void AppendReference(char32_t codePoint, std::string& out) {
    char digits[12];
    char* end =
        std::to_chars(digits, digits + sizeof digits, static_cast<std::uint32_t>(codePoint)).ptr;
    out += "&#";
    out.append(digits, end);
    out += ';';
}

} // namespace

void AppendCp932WithReferences(std::u16string_view text, std::string& out) {
    const CodeTable& table = Table();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const std::uint16_t code = table[c];
        if (code < 0x100) {
            out += static_cast<char>(code);
        } else if (code != kNoCode) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendReference(0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00), out);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendReference(0xFFFD, out);
        } else {
            AppendReference(c, out);
        }
    }
}

} // namespace tomorine
