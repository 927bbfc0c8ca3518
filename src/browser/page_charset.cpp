#include "browser/page_charset.h"

#include "store/workbook/ascii_case.h"

#include <cerrno>
#include <iconv.h>
#include <regex>

namespace tomorine {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The names pages use for Japanese charsets, as iconv knows them. Shift_JIS
// pages are written with Windows' extensions in practice, so CP932 reads them.
std::string IconvName(std::string_view declared) {
    const std::string name = AsciiLower(declared);
    if (name == "shift_jis" || name == "shift-jis" || name == "sjis" || name == "x-sjis" ||
        name == "ms_kanji" || name == "windows-31j" || name == "cp932" || name == "csshiftjis") {
        return "CP932";
    }
    if (name == "euc-jp" || name == "x-euc-jp" || name == "eucjp" ||
        name == "cseucpkdfmtjapanese") {
        return "EUC-JP";
    }
    if (name == "iso-2022-jp" || name == "csiso2022jp") {
        return "ISO-2022-JP";
    }
    if (name == "utf8" || name == "utf-8" || name == "unicode-1-1-utf-8") {
        return "UTF-8";
    }
    return name;
}

bool Known(const std::string& charset) {
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    iconv_close(cd);
    return true;
}

std::string HeaderCharset(std::string_view contentType) {
    static const std::regex pattern(R"(charset\s*=\s*["']?([A-Za-z0-9_.:\-]+))", std::regex::icase);
    std::match_results<std::string_view::const_iterator> match;
    if (std::regex_search(contentType.begin(), contentType.end(), match, pattern)) {
        return match[1].str();
    }
    return {};
}

std::string MetaCharset(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, 8192);
    static const std::regex xml(R"(^\s*<\?xml[^>]*encoding\s*=\s*["']([A-Za-z0-9_.:\-]+))",
                                std::regex::icase);
    static const std::regex meta(R"(<meta[^>]*charset\s*=\s*["']?([A-Za-z0-9_.:\-]+))",
                                 std::regex::icase);
    std::match_results<std::string_view::const_iterator> match;
    if (std::regex_search(head.begin(), head.end(), match, xml) ||
        std::regex_search(head.begin(), head.end(), match, meta)) {
        return match[1].str();
    }
    return {};
}

std::string BomCharset(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return "UTF-8";
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return "UTF-16LE";
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return "UTF-16BE";
    }
    return {};
}

// The bytes read in the given iconv charset; nothing when the charset is
// unknown or the bytes are not valid in it (`strict`), else with U+FFFD for
// each unreadable byte.
bool ConvertToUtf8(std::string_view bytes, const std::string& charset, bool strict,
                   std::string& out) {
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    out.clear();
    char buffer[16384];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG) {
            continue;
        }
        ok = false;
        if (strict) {
            break;
        }
        // An unreadable byte, or a character cut off at the end.
        out += kReplacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return ok || !strict;
}

// Hiragana, katakana and kanji in a UTF-8 text: EUC-JP read as CP932 turns
// into half-width katakana, CP932 read as EUC-JP mostly fails.
std::size_t JapaneseLetters(const std::string& utf8) {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 2 < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const auto next = static_cast<unsigned char>(utf8[i + 1]);
        if (lead == 0xE3 && next >= 0x81 && next <= 0x83) {
            ++count; // U+3040..U+30FF
        } else if (lead >= 0xE4 && lead <= 0xE9) {
            ++count; // U+4E00..U+9FFF
        }
    }
    return count;
}

std::string DetectedCharset(std::string_view bytes) {
    if (bytes.find("\x1B$B") != std::string_view::npos ||
        bytes.find("\x1B$@") != std::string_view::npos) {
        return "ISO-2022-JP";
    }
    std::string out;
    if (ConvertToUtf8(bytes, "UTF-8", true, out)) {
        return "UTF-8";
    }
    std::string euc;
    std::string sjis;
    const bool eucOk = ConvertToUtf8(bytes, "EUC-JP", true, euc);
    const bool sjisOk = ConvertToUtf8(bytes, "CP932", true, sjis);
    if (eucOk && (!sjisOk || JapaneseLetters(euc) > JapaneseLetters(sjis))) {
        return "EUC-JP";
    }
    return "CP932";
}

} // namespace

std::string PageCharset(std::string_view bytes, std::string_view contentType) {
    for (const std::string& declared : {HeaderCharset(contentType), BomCharset(bytes)}) {
        if (!declared.empty() && Known(IconvName(declared))) {
            return IconvName(declared);
        }
    }
    const std::string meta = IconvName(MetaCharset(bytes));
    // A page that calls itself UTF-16 was read as ASCII to find that out,
    // so it is not UTF-16.
    if (!meta.empty() && !meta.starts_with("utf-16") && Known(meta)) {
        return meta;
    }
    return DetectedCharset(bytes);
}

std::string UndeclaredTextToUtf8(std::string_view bytes) {
    std::string charset = BomCharset(bytes);
    std::string out;
    if (!charset.empty()) {
        bytes.remove_prefix(charset == "UTF-8" ? 3 : 2);
    } else if (ConvertToUtf8(bytes, "UTF-8", true, out)) {
        return out;
    } else {
        charset = "CP932";
    }
    ConvertToUtf8(bytes, charset, false, out);
    return out;
}

std::string DecodePage(std::string_view bytes, std::string_view contentType) {
    const std::string charset = PageCharset(bytes, contentType);
    if (charset == "UTF-8" && bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    std::string out;
    ConvertToUtf8(bytes, charset, false, out);
    return out;
}

} // namespace tomorine
