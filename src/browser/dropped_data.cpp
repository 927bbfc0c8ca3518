#include "browser/dropped_data.h"

#include "browser/file_url.h"
#include "store/workbook/utf.h"

#include <vector>

namespace tomorine {

DropFill ReadDrop(const DroppedData& data, ShortcutCounters& counters) {
    std::vector<std::string> uris = ParseUriList(data.uriList);
    DropFill fill;
    if (!uris.empty()) {
        if (std::optional<std::filesystem::path> file = FileUrlToPath(uris.front())) {
            fill.recognised = true;
            fill.url = GetShortcutTarget(*file, counters);
            fill.title = ShortcutTitle(*file);
            return fill;
        }
    }
    if (data.text) {
        fill.recognised = true;
        fill.url = *data.text;
    } else if (!uris.empty()) {
        fill.recognised = true;
        fill.url = FromUtf8(uris.front());
    }
    return fill;
}

std::u16string ShortcutTitle(const std::filesystem::path& path) {
    std::u16string text = FromUtf8(path.native());
    size_t slash = text.rfind(u'/');
    size_t start = slash == std::u16string::npos ? 0 : slash + 1;
    size_t dot = text.rfind(u'.');
    if (dot == std::u16string::npos || dot < start) {
        return text.substr(start);
    }
    return text.substr(start, dot - start);
}

} // namespace tomorine
