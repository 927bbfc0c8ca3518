#include "bookmarks/firefox_bookmarks.h"

#include "browser/history_copy.h"
#include "store/workbook/workbook_error.h"

#include <map>
#include <unordered_map>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

constexpr const char* kItems =
    "SELECT b.id, b.type, b.parent, COALESCE(b.title, ''), COALESCE(p.url, ''), "
    "COALESCE(b.guid, '') FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk "
    "ORDER BY b.parent, b.position, b.id";

constexpr int kBookmark = 1;
constexpr int kFolder = 2;

struct Item {
    long long id = 0;
    int type = 0;
    long long parent = 0;
    std::string title;
    std::string url;
    std::string guid;
};

bool IsBuiltInRoot(const Item& item) {
    return item.guid.size() == 12 && item.guid.ends_with("__");
}

class Tree {
public:
    explicit Tree(std::vector<Item> items) : items_(std::move(items)) {
        for (size_t i = 0; i < items_.size(); ++i) {
            byId_[items_[i].id] = i;
            children_[items_[i].parent].push_back(i);
        }
        for (const Item& item : items_) {
            if (item.guid == "tags________") {
                tagsRoot_ = item.id;
            }
        }
    }

    std::vector<BrowserBookmark> bookmarks() {
        collectTags();
        std::vector<BrowserBookmark> out;
        for (const Item& item : items_) {
            if (item.parent == 0 || !byId_.contains(item.parent)) {
                walk(item.id, "", out);
            }
        }
        return out;
    }

private:
    void collectTags() {
        if (tagsRoot_ == 0) {
            return;
        }
        for (size_t tagFolder : children_[tagsRoot_]) {
            for (size_t child : children_[items_[tagFolder].id]) {
                if (items_[child].type == kBookmark && !items_[tagFolder].title.empty()) {
                    tags_[items_[child].url].push_back(items_[tagFolder].title);
                }
            }
        }
    }

    void walk(long long folder, const std::string& path, std::vector<BrowserBookmark>& out) {
        for (size_t index : children_[folder]) {
            const Item& item = items_[index];
            if (item.type == kBookmark) {
                auto tags = tags_.find(item.url);
                out.push_back(BrowserBookmark{
                    item.url, item.title,
                    tags == tags_.end() ? std::vector<std::string>{} : tags->second, "", path});
            } else if (item.type == kFolder && item.id != tagsRoot_ && item.id != folder) {
                std::string inner = path;
                if (!IsBuiltInRoot(item)) {
                    inner += (inner.empty() ? "" : "/") + item.title;
                }
                walk(item.id, inner, out);
            }
        }
    }

    std::vector<Item> items_;
    std::unordered_map<long long, size_t> byId_;
    std::map<long long, std::vector<size_t>> children_;
    std::unordered_map<std::string, std::vector<std::string>> tags_;
    long long tagsRoot_ = 0;
};

} // namespace

std::vector<BrowserBookmark> ReadFirefoxBookmarks(const fs::path& profileOrFile) {
    std::error_code error;
    const fs::path database =
        fs::is_directory(profileOrFile, error) ? profileOrFile / "places.sqlite" : profileOrFile;
    if (!fs::is_regular_file(database, error)) {
        throw WorkbookError(WorkbookFault::FileNotFound,
                            QuotedPath(database) + " が見つかりません");
    }
    HistoryCopy copy(database);
    std::vector<Item> items;
    const bool read = copy.forEachRow(kItems, [&](const std::vector<std::string>& row) {
        items.push_back(Item{std::atoll(row[0].c_str()), std::atoi(row[1].c_str()),
                             std::atoll(row[2].c_str()), row[3], row[4], row[5]});
    });
    if (!read) {
        throw WorkbookError(WorkbookFault::NotAWorkbook,
                            QuotedPath(database) + " は Firefox のブックマークとして読めません");
    }
    return Tree(std::move(items)).bookmarks();
}

} // namespace tomorine
