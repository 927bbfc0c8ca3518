#pragma once

#include "browser/shortcut_target.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tomorine {

// What a drop on the main window offers, as the window toolkit hands it over.
struct DroppedData {
    std::optional<std::u16string> text; // plain text, when offered
    std::string uriList;                // text/uri-list, empty when not offered
};

// What a drop puts into the editor.
struct DropFill {
    bool recognised = false;             // false: the drop fills nothing
    std::u16string url;                  // the URL field
    std::optional<std::u16string> title; // the title field, for a dropped file
};

// A file manager offers its files as a uri-list of file URLs and usually the
// same names as text too; a browser offers a link as text and as a uri-list
// of web URLs. So a drop whose first URI is a local file is a file drop: only
// that first file is used, its shortcut target is the URL (failures counted,
// the URL then empty) and its name the title. Otherwise offered text is the
// URL, and failing that the first URI of the list.
DropFill ReadDrop(const DroppedData& data, ShortcutCounters& counters);

// A shortcut's title: the file name without folder and extension, that is
// the characters after the last "/" and before the last "." of the path. A
// name with no "." gives the whole name.
std::u16string ShortcutTitle(const std::filesystem::path& path);

} // namespace tomorine
