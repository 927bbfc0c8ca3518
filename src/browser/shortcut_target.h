#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tomorine {

// Why shortcut files could not be read, counted since the favorites import
// last reset them. Only GetShortcutTarget advances them.
struct ShortcutCounters {
    std::int32_t shortcutErrorCount = 0;    // every failure
    std::int32_t shortcutNoTargetCount = 0; // read, but no target in it
    std::int32_t shortcutBadCallCount = 0;  // a path the file system refuses (too long, invalid)
    std::filesystem::path firstNoTarget;    // the first of those without a target
};

// The target of a shortcut file: an Internet shortcut (".url":
// [InternetShortcut] URL=, CP932 or UTF-8, the Unicode [InternetShortcut.W]
// section first when it holds a usable URL) or a desktop link (".desktop":
// Type=Link, URL=). Throws WorkbookError naming the file: PathRefused,
// NotShortcut, NoShortcutTarget, or FileNotFound / PermissionDenied / FileAccess for the file
// itself.
std::u16string ReadShortcutTarget(const std::filesystem::path& path);

// ReadShortcutTarget, with every failure counted instead of thrown: the
// result is then empty.
std::u16string GetShortcutTarget(const std::filesystem::path& path, ShortcutCounters& counters);

} // namespace tomorine
