#include "browser/mozlz4.h"

#include "store/files/file_bytes.h"
#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <lz4.h>

namespace tomorine {

namespace {

constexpr std::string_view kMagic{"mozLz40\0", 8};
constexpr std::size_t kHeader = 12;
// A session of thousands of tabs compresses to a few megabytes.
constexpr std::uint64_t kMaxFileBytes = 64u << 20;

// LZ4 turns a byte into at most 255; a size beyond that is a lie. Below it,
// the decoded text stays within a few times the file plus a margin.
std::uint64_t MaxDecodedSize(std::size_t block) {
    return std::min<std::uint64_t>(std::uint64_t{block} * 255 + 255,
                                   std::uint64_t{block} * 16 + (64u << 20));
}

} // namespace

std::optional<std::string> DecodeMozLz4(std::string_view bytes, std::string* why) {
    auto refuse = [why](const char* reason) -> std::optional<std::string> {
        if (why != nullptr) {
            *why = reason;
        }
        return std::nullopt;
    };
    if (bytes.size() < kHeader || !bytes.starts_with(kMagic)) {
        return refuse("mozLz4 形式ではありません");
    }
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i) {
        size = size << 8 | static_cast<unsigned char>(bytes[8 + i]);
    }
    const std::size_t block = bytes.size() - kHeader;
    if (size > MaxDecodedSize(block) || block > static_cast<std::size_t>(LZ4_MAX_INPUT_SIZE)) {
        return refuse("展開後の大きさとして中身に見合わない値が書かれています");
    }
    std::string out(size, '\0');
    const int got = LZ4_decompress_safe(bytes.data() + kHeader, out.data(), static_cast<int>(block),
                                        static_cast<int>(size));
    if (got < 0 || static_cast<std::uint32_t>(got) != size) {
        return refuse("圧縮されたデータが壊れています");
    }
    return out;
}

std::string ReadMozLz4File(const std::filesystem::path& path) {
    const FileBytes bytes = ReadFileBytes(path, kMaxFileBytes);
    std::string why;
    std::optional<std::string> text = DecodeMozLz4(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &why);
    if (!text) {
        throw WorkbookError(WorkbookFault::NotAWorkbook,
                            QuotedPath(path) + " を読めません: " + why);
    }
    return std::move(*text);
}

} // namespace tomorine
