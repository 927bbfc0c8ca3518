#pragma once

#include <filesystem>
#include <optional>
#include <string>

struct sqlite3;

namespace tomorine::test {

// A places.sqlite with the columns of Firefox's schema that the reader uses, its root folders
// (menu 2, toolbar 3, tags 4, unfiled 5, mobile 6), in WAL mode as Firefox keeps it. The connection
// stays open, so what it writes may still be in the -wal file, as with a running browser.
class PlacesFile {
public:
    explicit PlacesFile(const std::filesystem::path& file);
    ~PlacesFile();
    PlacesFile(const PlacesFile&) = delete;
    PlacesFile& operator=(const PlacesFile&) = delete;

    static constexpr long long kMenu = 2, kToolbar = 3, kTags = 4;

    long long folder(long long parent, const std::string& title) {
        return item(2, parent, title.c_str());
    }
    // No title is stored as NULL, as Firefox does for some bookmarks.
    long long bookmark(long long parent, const std::string& url,
                       const std::optional<std::string>& title) {
        return item(1, parent, title ? title->c_str() : nullptr, url.c_str());
    }
    // A tag as Firefox stores it: a bookmark of the URL in the tag's folder.
    void tag(const std::string& url, const std::string& name) {
        item(1, folder(kTags, name), nullptr, url.c_str());
    }
    void exec(const std::string& sql);

private:
    long long item(int type, long long parent, const char* title, const char* url = nullptr);

    sqlite3* db_ = nullptr;
    long long nextPosition_ = 0;
};

// A Firefox home under `home` whose one profile, in the folder `name`, is the
// default; the profile's folder.
std::filesystem::path DefaultFirefoxProfile(const std::filesystem::path& home,
                                            const std::string& name);

} // namespace tomorine::test
