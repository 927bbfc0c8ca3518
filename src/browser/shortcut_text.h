#pragma once

#include <string>
#include <string_view>

namespace tomorine {

// The URL of an Internet shortcut's text (UTF-8): URL= of the Unicode section
// [InternetShortcut.W] (UTF-7, as the browser writes it, or UTF-8) when it
// decodes, otherwise URL= of [InternetShortcut]. Empty when there is none.
std::u16string InternetShortcutUrl(std::string_view text);

// The URL of a desktop entry's text: URL= of [Desktop Entry] when its Type is
// Link, with the entry format's escapes (\s \n \t \r \\) undone. Empty
// otherwise.
std::u16string DesktopLinkUrl(std::string_view text);

} // namespace tomorine
