#include "store/settings/cp932.h"

#include <cerrno>
#include <iconv.h>

namespace tomorine {

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Back to the initial state, as a new converter starts.
    void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

    // Converts as much as it can; returns false at the first invalid or
    // incomplete sequence, leaving `in` on it.
    bool convert(std::string_view& in, std::string& out) {
        char buffer[256];
        while (!in.empty()) {
            char* src = const_cast<char*>(in.data());
            size_t srcLeft = in.size();
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            int err = errno;
            out.append(buffer, dst);
            in.remove_prefix(in.size() - srcLeft);
            if (rc == static_cast<size_t>(-1) && err != E2BIG) {
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

bool IsAscii(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
    if (IsAscii(bytes)) {
        return std::string(bytes); // the same in both; no converter to open per line
    }
    // One converter per thread: opening one costs more than a line of text.
    thread_local Converter converter("UTF-8", "CP932");
    std::string out;
    if (!converter.ok()) {
        return std::string(bytes); // no converter installed: ASCII still reads right
    }
    out.reserve(bytes.size() * 3 / 2);
    while (!converter.convert(bytes, out)) {
        out += "\xEF\xBF\xBD";
        bytes.remove_prefix(1);
    }
    converter.reset();
    return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view text) {
    Converter converter("CP932", "UTF-8");
    std::string out;
    std::string_view rest = text;
    if (!converter.ok() || !converter.convert(rest, out)) {
        return std::nullopt;
    }
    if (Cp932ToUtf8(out) != text) {
        return std::nullopt;
    }
    return out;
}

} // namespace tomorine
