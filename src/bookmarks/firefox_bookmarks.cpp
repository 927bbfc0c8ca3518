#include "bookmarks/firefox_bookmarks.h"

#include "browser/history_copy.h"
#include "store/workbook/workbook_error.h"

#include <map>
#include <unordered_map>
#include <unordered_set>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

constexpr const char* kItems =
    "SELECT b.id, b.type, b.parent, COALESCE(b.title, ''), COALESCE(p.url, ''), "
    "COALESCE(b.guid, '') FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk "
    "ORDER BY b.parent, b.position, b.id";

constexpr int kBookmark = 1;
constexpr int kFolder = 2;

bool IsBuiltInRoot(const PlacesItem& item) {
    return item.guid.size() == 12 && item.guid.ends_with("__");
}

class Tree {
public:
    explicit Tree(std::vector<PlacesItem> items) : items_(std::move(items)) {
        for (size_t i = 0; i < items_.size(); ++i) {
            byId_[items_[i].id] = i;
            children_[items_[i].parent].push_back(i);
            if (items_[i].guid == "tags________") {
                tagsRoot_ = items_[i].id;
            }
        }
    }

    BrowserBookmarks bookmarks() {
        collectTags();
        BrowserBookmarks out;
        for (const PlacesItem& item : items_) {
            if (item.parent == 0 || !byId_.contains(item.parent)) {
                ++reached_;
                walk(item.id, out);
            }
        }
        out.unreadable = static_cast<int>(items_.size() - std::min(reached_, items_.size()));
        return out;
    }

private:
    void collectTags() {
        if (tagsRoot_ == 0) {
            return;
        }
        for (size_t tagFolder : children_[tagsRoot_]) {
            ++reached_;
            for (size_t child : children_[items_[tagFolder].id]) {
                ++reached_;
                if (items_[child].type == kBookmark && !items_[tagFolder].title.empty()) {
                    Tags& tags = tags_[items_[child].url];
                    // Each bookmark of the URL gets a copy: more than the
                    // keywords hold would only multiply memory.
                    if (tags.bytes < kMaxTagBytes) {
                        tags.bytes += items_[tagFolder].title.size() + 1;
                        tags.names.push_back(items_[tagFolder].title);
                    }
                }
            }
        }
    }

    // Depth first on an explicit stack, so that no depth exhausts the call
    // stack; a folder met again (a cycle) is passed over.
    void walk(long long top, BrowserBookmarks& out) {
        struct Frame {
            const std::vector<size_t>* children;
            size_t next;
            BookmarkFolder folder;
        };
        std::vector<Frame> stack;
        auto enter = [&](long long id, BookmarkFolder folder) {
            if (!walked_.insert(id).second) {
                return false;
            }
            auto children = children_.find(id);
            stack.push_back(
                {children == children_.end() ? &kNoChildren : &children->second, 0, folder});
            return true;
        };
        enter(top, {});
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next == frame.children->size()) {
                stack.pop_back();
                continue;
            }
            const PlacesItem& item = items_[(*frame.children)[frame.next++]];
            if (item.id == tagsRoot_) {
                ++reached_;
            } else if (item.type == kBookmark) {
                ++reached_;
                auto tags = tags_.find(item.url);
                out.bookmarks.push_back(BrowserBookmark{
                    item.url, item.title,
                    tags == tags_.end() ? std::vector<std::string>{} : tags->second.names, "",
                    frame.folder});
            } else if (item.type == kFolder) {
                BookmarkFolder inner =
                    IsBuiltInRoot(item) ? frame.folder : BookmarkFolder(frame.folder, item.title);
                if (enter(item.id, std::move(inner))) {
                    ++reached_;
                }
            } else {
                ++reached_; // a separator
            }
        }
    }

    static inline const std::vector<size_t> kNoChildren;

    std::vector<PlacesItem> items_;
    std::unordered_map<long long, size_t> byId_;
    std::map<long long, std::vector<size_t>> children_;
    struct Tags {
        std::vector<std::string> names;
        size_t bytes = 0;
    };
    static constexpr size_t kMaxTagBytes = 8192;

    std::unordered_map<std::string, Tags> tags_;
    std::unordered_set<long long> walked_;
    size_t reached_ = 0;
    long long tagsRoot_ = 0;
};

} // namespace

BrowserBookmarks BookmarksOfPlaces(std::vector<PlacesItem> items) {
    return Tree(std::move(items)).bookmarks();
}

BrowserBookmarks ReadFirefoxBookmarks(const fs::path& profileOrFile) {
    std::error_code error;
    const fs::path database =
        fs::is_directory(profileOrFile, error) ? profileOrFile / "places.sqlite" : profileOrFile;
    if (!fs::is_regular_file(database, error)) {
        throw WorkbookError(WorkbookFault::FileNotFound,
                            QuotedPath(database) + " が見つかりません");
    }
    HistoryCopy copy(database);
    if (copy.failure()) {
        throw *copy.failure();
    }
    std::vector<PlacesItem> items;
    const bool read = copy.forEachRow(kItems, [&](const std::vector<std::string>& row) {
        items.push_back(PlacesItem{std::atoll(row[0].c_str()), std::atoi(row[1].c_str()),
                                   std::atoll(row[2].c_str()), row[3], row[4], row[5]});
    });
    if (!read) {
        throw WorkbookError(WorkbookFault::NotAWorkbook,
                            QuotedPath(database) + " は Firefox のブックマークとして読めません");
    }
    return BookmarksOfPlaces(std::move(items));
}

} // namespace tomorine
