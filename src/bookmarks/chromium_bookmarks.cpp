#include "bookmarks/chromium_bookmarks.h"

#include "store/files/file_bytes.h"
#include "store/workbook/workbook_error.h"

#include <nlohmann/json.hpp>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

using nlohmann::json;

std::string TextOf(const json& node, const char* key) {
    auto value = node.find(key);
    return value != node.end() && value->is_string() ? value->get<std::string>() : std::string();
}

void Walk(const json& folder, const std::string& path, std::vector<BrowserBookmark>& out) {
    auto children = folder.find("children");
    if (children == folder.end() || !children->is_array()) {
        return;
    }
    for (const json& child : *children) {
        if (!child.is_object()) {
            continue;
        }
        const std::string type = TextOf(child, "type");
        if (type == "url") {
            out.push_back(
                BrowserBookmark{TextOf(child, "url"), TextOf(child, "name"), {}, "", path});
        } else if (type == "folder") {
            Walk(child, path + (path.empty() ? "" : "/") + TextOf(child, "name"), out);
        }
    }
}

} // namespace

std::vector<BrowserBookmark> ParseChromiumBookmarks(std::string_view text, const fs::path& name) {
    json document = json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_object() || !document.contains("roots") ||
        !document["roots"].is_object()) {
        throw WorkbookError(WorkbookFault::NotAWorkbook,
                            QuotedPath(name) +
                                " は壊れているか、ブックマークのファイルではありません");
    }
    std::vector<BrowserBookmark> out;
    const json& roots = document["roots"];
    for (const char* root : {"bookmark_bar", "other", "synced"}) {
        auto folder = roots.find(root);
        if (folder != roots.end() && folder->is_object()) {
            Walk(*folder, "", out);
        }
    }
    return out;
}

std::vector<BrowserBookmark> ReadChromiumBookmarks(const fs::path& profileOrFile) {
    std::error_code error;
    const fs::path file =
        fs::is_directory(profileOrFile, error) ? profileOrFile / "Bookmarks" : profileOrFile;
    if (!fs::is_regular_file(file, error)) {
        throw WorkbookError(WorkbookFault::FileNotFound, QuotedPath(file) + " が見つかりません");
    }
    const FileBytes bytes = ReadFileBytes(file, kMaxBookmarkFileBytes);
    return ParseChromiumBookmarks(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), file);
}

} // namespace tomorine
