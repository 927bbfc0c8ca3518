#include "browser/mozlz4.h"

#include <fstream>
#include <iterator>
#include <lz4.h>

namespace tomorine {

namespace {

constexpr std::string_view kMagic{"mozLz40\0", 8};
constexpr std::size_t kHeader = 12;
// Far above any session file; keeps a damaged size field from asking for
// gigabytes.
constexpr std::uint32_t kMaxSize = 512u * 1024 * 1024;

} // namespace

std::optional<std::string> DecodeMozLz4(std::string_view bytes) {
    if (bytes.size() < kHeader || !bytes.starts_with(kMagic)) {
        return std::nullopt;
    }
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i) {
        size = size << 8 | static_cast<unsigned char>(bytes[8 + i]);
    }
    if (size > kMaxSize || bytes.size() - kHeader > static_cast<std::size_t>(LZ4_MAX_INPUT_SIZE)) {
        return std::nullopt;
    }
    std::string out(size, '\0');
    const int got =
        LZ4_decompress_safe(bytes.data() + kHeader, out.data(),
                            static_cast<int>(bytes.size() - kHeader), static_cast<int>(size));
    if (got < 0 || static_cast<std::uint32_t>(got) != size) {
        return std::nullopt;
    }
    return out;
}

std::optional<std::string> ReadMozLz4File(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    return DecodeMozLz4(bytes);
}

} // namespace tomorine
