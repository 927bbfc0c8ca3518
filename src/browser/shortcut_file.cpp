#include "browser/shortcut_file.h"

#include "browser/shortcut_target.h"
#include "store/settings/cp932.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tomorine {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

WorkbookError NotShortcut(const std::filesystem::path& path, const std::string& why) {
    return WorkbookError(ShortcutError::NotShortcut, QuotedPath(path) + " は" + why);
}

int OpenForReading(const std::filesystem::path& path) {
    const std::string& name = path.native();
    if (name.empty() || name.find('\0') != std::string::npos) {
        throw WorkbookError(ShortcutError::BadCall, QuotedPath(path) + " は使えないパスです");
    }
    // Non-blocking, so that a pipe or device with a shortcut's name cannot hang us.
    int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        int error = errno;
        if (error == ENAMETOOLONG || error == EINVAL || error == EILSEQ) {
            throw WorkbookError(ShortcutError::BadCall,
                                QuotedPath(path) + " はパスが長すぎるか、使えない名前です");
        }
        std::error_code ec;
        if (error == ENOENT && std::filesystem::is_directory(path.parent_path(), ec)) {
            throw WorkbookError(ErrorNumber::FileNotFound, QuotedPath(path) + " が見つかりません");
        }
        throw FileError(error, "読み込み", path);
    }
    return fd;
}

std::string ReadBounded(const std::filesystem::path& path) {
    FileHandle file(OpenForReading(path));
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        throw FileError(errno, "読み込み", path);
    }
    if (!S_ISREG(info.st_mode)) {
        throw NotShortcut(path, "通常のファイルではありません");
    }
    std::string bytes;
    char buffer[8192];
    for (;;) {
        ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw FileError(errno, "読み込み", path);
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<size_t>(got));
        if (bytes.size() > kShortcutFileLimit) {
            throw NotShortcut(path, "ショートカットファイルとしては大きすぎます");
        }
    }
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
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
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
