#include "favorites_tree.h"

#include "support/temp_dir.h"

#include <fcntl.h>
#include <unistd.h>

namespace tomorine::test {

namespace {

namespace fs = std::filesystem;

const std::string kDeepName(220, 'd');
constexpr int kDeepLevels = 20; // 20 x 221 characters: beyond PATH_MAX (4096)

// A level at a time, each pushed under a new top one, so that no path is ever long.
fs::path MakeDeepShortcut(const fs::path& top) {
    WriteShortcut(top / kDeepName / "long.url", "http://example.jp/long");
    fs::path path = top / kDeepName;
    for (int i = 1; i < kDeepLevels; ++i, path /= kDeepName) {
        fs::create_directory(top / "next");
        fs::rename(top / kDeepName, top / "next" / kDeepName);
        fs::rename(top / "next", top / kDeepName);
    }
    return path / "long.url";
}

} // namespace

void RemoveChain(const fs::path& top, const std::string& name, const char* bottomFile) {
    const int parent = open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (int child; (child = openat(parent, name.c_str(), O_RDONLY)) >= 0; close(child)) {
        // The grandchild moves up in place of its emptied parent.
        renameat(child, name.c_str(), parent, "next"), unlinkat(child, bottomFile, 0);
        unlinkat(parent, name.c_str(), AT_REMOVEDIR),
            renameat(parent, "next", parent, name.c_str());
    }
    close(parent);
}

void WriteShortcut(const fs::path& path, const std::string& urlBytes) {
    WriteText(path, "[InternetShortcut]\r\nURL=" + urlBytes + "\r\n");
}

FavoritesTree::FavoritesTree(fs::path root) : root_(std::move(root)) {
    fs::create_directories(root_ / "ニュース" / "深い");
    WriteShortcut(root_ / "A.URL", "http://example.jp/a");
    WriteShortcut(root_ / "a.b.url", "http://example.jp/ab");
    WriteShortcut(root_ / "empty.url", "");
    WriteShortcut(root_ / "O'Reilly.url", "http://oreilly.example/it's");
    WriteShortcut(root_ / "notes.txt", "http://example.jp/txt");
    WriteText(root_ / "link.desktop",
              "[Desktop Entry]\nType=Link\nURL=http://example.jp/desktop\n");
    // "日本語" in CP932, then the same name in a UTF-8 file.
    WriteShortcut(root_ / "ニュース" / "日本語サイト.url",
                  "http://example.jp/\x93\xfa\x96\x7b\x8c\xea");
    WriteShortcut(root_ / "ニュース" / "utf8.url", "http://example.jp/ユニコード");
    WriteShortcut(root_ / "ニュース" / "深い" / "same.url", "http://example.jp/a");
    longFile_ = MakeDeepShortcut(root_ / "zzz");
}

FavoritesTree::~FavoritesTree() {
    RemoveChain(root_ / "zzz", kDeepName, "long.url");
}

std::vector<fs::path> FavoritesTree::expectedList() const {
    return {root_ / "a.b.url",
            root_ / "A.URL",
            root_ / "empty.url",
            root_ / "O'Reilly.url",
            longFile_,
            root_ / "ニュース" / "utf8.url",
            root_ / "ニュース" / "日本語サイト.url",
            root_ / "ニュース" / "深い" / "same.url"};
}

std::vector<Entry> FavoritesTree::Registered() {
    return {{7, u"http://example.jp/ユニコード", u"登録済み", u"", u"古い", u""}};
}

std::vector<Entry> FavoritesTree::Added() {
    return {{8, u"http://example.jp/ab", u"a.b", u"", u"", u""},
            {9, u"http://example.jp/a", u"A", u"", u"", u""},
            {10, u"http://oreilly.example/it's", u"O'Reilly", u"", u"", u""},
            {11, u"http://example.jp/日本語", u"日本語サイト", u"", u"", u""}};
}

} // namespace tomorine::test
