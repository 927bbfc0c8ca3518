#pragma once

#include "bookmarks/browser_bookmark.h"
#include "store/entry.h"

#include <optional>
#include <string_view>

namespace tomorine {

// The entry a bookmark becomes: URL, title (the URL when empty), keywords
// from the tags, comment from the description, subtitle from the folder path;
// serial 0. `cut` is set when a text is longer than its columns hold and
// lost its end. Nothing for a URL without a link scheme or longer than the
// URL columns hold (cutting it would store another address).
std::optional<Entry> EntryOfBookmark(const BrowserBookmark& bookmark, bool& cut);

} // namespace tomorine
