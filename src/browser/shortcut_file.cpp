#include "browser/shortcut_file.h"

#include "browser/page_charset.h"
#include "browser/shortcut_target.h"
#include "store/files/file_bytes.h"
#include "store/workbook/ascii_case.h"
#include "store/workbook/workbook_error.h"

#include <cerrno>
#include <string_view>

namespace tomorine {

namespace {

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

} // namespace

ShortcutKind ShortcutKindOf(const std::filesystem::path& path) {
    const std::string extension = AsciiLower(path.extension().string());
    return extension == ".url"       ? ShortcutKind::Internet
           : extension == ".desktop" ? ShortcutKind::DesktopLink
                                     : ShortcutKind::None;
}

std::string ReadShortcutText(const std::filesystem::path& path) {
    // CP932 text with kana or kanji almost never passes as UTF-8.
    const std::string text = UndeclaredTextToUtf8(ReadBounded(path));
    if (text.find('\0') != std::string::npos) {
        throw NotShortcut(path, "テキストではありません");
    }
    return text;
}

} // namespace tomorine
