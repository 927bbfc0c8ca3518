#pragma once

#include "store/entry.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tomorine::test {

// A Favorites folder built at run time: nested folders, "A.URL", "a.b.url", a shortcut without
// target, one beyond the path length limit, one URL in two files, O'Reilly, Japanese names, CP932
// and UTF-8 shortcuts, and a .desktop link and a text file that the import does not take.
class FavoritesTree {
public:
    explicit FavoritesTree(std::filesystem::path root);
    ~FavoritesTree(); // removes the deep folders (RemoveChain)
    FavoritesTree(const FavoritesTree&) = delete;
    FavoritesTree& operator=(const FavoritesTree&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // The shortcut files in the order the import lists them.
    std::vector<std::filesystem::path> expectedList() const;

    // The entries held before the import (one has a favorite's URL) and those the import adds.
    static std::vector<Entry> Registered();
    static std::vector<Entry> Added();

    static constexpr int kFound = 8;
    static constexpr int kRegistered = 4;
    static constexpr int kExisting = 2;
    static constexpr int kFailed = 2; // one without target, one too long

private:
    std::filesystem::path root_;
    std::filesystem::path longFile_;
};

// Removes a chain of folders each called `name` under `top`, `bottomFile` in
// the last, a level at a time: a recursive removal takes time quadratic in
// the depth and fails beyond the path length limit.
void RemoveChain(const std::filesystem::path& top, const std::string& name, const char* bottomFile);
// Writes an Internet shortcut (bytes as given, CR LF line ends).
void WriteShortcut(const std::filesystem::path& path, const std::string& urlBytes);

} // namespace tomorine::test
