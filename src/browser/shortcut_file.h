#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tomorine {

enum class ShortcutKind { None, Internet, DesktopLink };

// By the file name's extension, in any letter case: ".url" or ".desktop".
ShortcutKind ShortcutKindOf(const std::filesystem::path& path);

// A shortcut file is a few hundred bytes; anything beyond this is not one.
inline constexpr std::size_t kShortcutFileLimit = 256 * 1024;

// The text of a shortcut file as UTF-8: a UTF-8 or UTF-16LE byte-order mark
// says the encoding, otherwise valid UTF-8 is taken as such and anything else
// as CP932. Never blocks on a pipe or device and never reads more than the
// limit. Throws WorkbookError naming the file: PathRefused for a path the
// file system refuses as too long or invalid, NotShortcut for something that
// is not a regular file, too big or binary, and the file error otherwise.
std::string ReadShortcutText(const std::filesystem::path& path);

} // namespace tomorine
