#include "browser/shortcut_file.h"

#include "browser/shortcut_target.h"
#include "store/files/file_bytes.h"
#include "store/settings/cp932.h"
#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <cerrno>
#include <string_view>

namespace tomorine {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

WorkbookError NotShortcut(const std::filesystem::path& path, const std::string& why) {
    return WorkbookError(WorkbookFault::NotShortcut, QuotedPath(path) + " は" + why);
}

// The open failed: a name the file system refuses is the caller's fault.
WorkbookError OpenError(const std::filesystem::path& path, int error) {
    if (error == ENAMETOOLONG || error == EINVAL || error == EILSEQ) {
        return WorkbookError(WorkbookFault::PathRefused,
                             QuotedPath(path) + " はパスが長すぎるか、使えない名前です");
    }
    std::error_code ec;
    if (error == ENOENT && std::filesystem::is_directory(path.parent_path(), ec)) {
        return WorkbookError(WorkbookFault::FileNotFound, QuotedPath(path) + " が見つかりません");
    }
    return FileError(error, "読み込み", path);
}

std::string ReadBounded(const std::filesystem::path& path) {
    const std::string& name = path.native();
    if (name.empty() || name.find('\0') != std::string::npos) {
        throw WorkbookError(WorkbookFault::PathRefused, QuotedPath(path) + " は使えないパスです");
    }
    static const FileReadRefusals refusals{
        [](const std::filesystem::path& file, bool) {
            return NotShortcut(file, "通常のファイルではありません");
        },
        [](const std::filesystem::path& file, std::uint64_t) {
            return NotShortcut(file, "ショートカットファイルとしては大きすぎます");
        },
        OpenError};
    const FileBytes bytes = ReadFileBytes(path, kShortcutFileLimit, refusals);
    return std::string(bytes.begin(), bytes.end());
}

// CP932 text with kana or kanji almost never passes as UTF-8, so a file that
// does is UTF-8.
bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        size_t more = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
        } else if (c >= 0x80) {
            return false;
        }
        if (text.size() - i <= more) {
            return false;
        }
        for (size_t k = 1; k <= more; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += more + 1;
    }
    return true;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return ToUtf8(units);
}

} // namespace

ShortcutKind ShortcutKindOf(const std::filesystem::path& path) {
    const std::string extension = AsciiLower(path.extension().string());
    if (extension == ".url") {
        return ShortcutKind::Internet;
    }
    if (extension == ".desktop") {
        return ShortcutKind::DesktopLink;
    }
    return ShortcutKind::None;
}

std::string ReadShortcutText(const std::filesystem::path& path) {
    std::string bytes = ReadBounded(path);
    std::string_view view(bytes);
    std::string text;
    if (view.starts_with(kUtf16LeBom)) {
        text = Utf16LeToUtf8(view.substr(kUtf16LeBom.size()));
    } else if (view.starts_with(kUtf8Bom)) {
        text = std::string(view.substr(kUtf8Bom.size()));
    } else if (IsValidUtf8(view)) {
        text = bytes;
    } else {
        text = Cp932ToUtf8(view);
    }
    if (text.find('\0') != std::string::npos) {
        throw NotShortcut(path, "テキストではありません");
    }
    return text;
}

} // namespace tomorine
