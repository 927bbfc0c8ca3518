#pragma once

#include "bookmarks/browser_bookmark.h"

#include <filesystem>
#include <string_view>

namespace tomorine {

// The bookmarks of a Netscape bookmark file, as browsers export them:
// <DT><A HREF=… TAGS=…>title</A>, an optional <DD> description, folders as
// <DT><H3>name</H3> followed by a nested <DL>. The file is UTF-8 unless a
// byte order mark or a <meta> charset says otherwise; entities are decoded.
// Throws WorkbookError naming the file when it cannot be read or holds no
// bookmark list at all.
BrowserBookmarks ReadNetscapeBookmarks(const std::filesystem::path& file);

// The same from the file's bytes; `name` is what an error names.
BrowserBookmarks ParseNetscapeBookmarks(std::string_view bytes, const std::filesystem::path& name);

} // namespace tomorine
