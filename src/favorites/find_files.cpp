#include "favorites/find_files.h"

#include "search/lower_case.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tomorine {

namespace {

std::u16string Lower(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        c = LowerChar(c);
    }
    return out;
}

struct Name {
    std::string bytes;
    std::u16string folded; // the sort key
    bool folder = false;
};

class Folder {
public:
    explicit Folder(DIR* dir) : dir_(dir) {}
    ~Folder() {
        if (dir_ != nullptr) {
            closedir(dir_);
        }
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    DIR* get() const { return dir_; }
    int fd() const { return dirfd(dir_); }

private:
    DIR* dir_;
};

// Depth first on an explicit stack. One path string grows and shrinks with
// the walk, and a folder stays open only while subfolders of it are left to
// open, so a deep chain costs memory linear in its depth and two descriptors.
class Walk {
public:
    explicit Walk(std::u16string pattern) : pattern_(std::move(pattern)) {}

    void run(const std::filesystem::path& top) {
        path_ = top.native();
        std::optional<Level> first = open(AT_FDCWD, path_, true);
        if (!first) {
            return;
        }
        stack_.push_back(std::move(*first));
        while (!stack_.empty()) {
            Level& level = stack_.back();
            if (level.next == level.subfolders.size()) {
                stack_.pop_back();
                continue;
            }
            const std::string name = std::move(level.subfolders[level.next++]);
            const std::shared_ptr<Folder> parent = level.folder;
            if (level.next == level.subfolders.size()) {
                level.folder.reset(); // no other subfolder needs it
            }
            path_.resize(level.pathLength);
            path_ += separator(name);
            if (std::optional<Level> inner = open(parent->fd(), name, false)) {
                stack_.push_back(std::move(*inner));
            }
        }
    }

    FoundFiles take() { return std::move(found_); }

private:
    struct Level {
        std::shared_ptr<Folder> folder; // open while subfolders are left
        std::vector<std::string> subfolders;
        size_t next = 0;
        size_t pathLength = 0; // of path_ at this folder
    };

    std::string separator(const std::string& name) const {
        return path_.ends_with('/') ? name : '/' + name;
    }

    // The folder `name` in `parentFd`, its matching files taken. A folder
    // that cannot be read is counted and passed over, except the top one.
    // Opens relative to the parent folder, so that a path beyond the
    // system's length limit is still walked.
    std::optional<Level> open(int parentFd, const std::string& name, bool top) {
        std::shared_ptr<Folder> folder;
        std::vector<Name> names;
        try {
            folder = openFolder(parentFd, name);
            struct stat info {};
            if (fstat(folder->fd(), &info) != 0 ||
                !visited_.insert({info.st_dev, info.st_ino}).second) {
                return std::nullopt;
            }
            names = list(*folder);
        } catch (const WorkbookError&) {
            if (top) {
                throw;
            }
            ++found_.unreadableFolders;
            return std::nullopt;
        }
        Level level{std::move(folder), {}, 0, path_.size()};
        for (Name& n : names) {
            if (n.folder) {
                level.subfolders.push_back(std::move(n.bytes));
            } else if (MatchesWildcard(n.folded, pattern_)) {
                found_.files.emplace_back(path_ + separator(n.bytes));
            }
        }
        if (level.subfolders.empty()) {
            level.folder.reset();
        }
        return level;
    }

    std::shared_ptr<Folder> openFolder(int parentFd, const std::string& name) {
        int fd = openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            throw FileError(errno, "読み込み", path_);
        }
        DIR* dir = fdopendir(fd);
        if (dir == nullptr) {
            int error = errno;
            ::close(fd);
            throw FileError(error, "読み込み", path_);
        }
        return std::make_shared<Folder>(dir);
    }

    std::vector<Name> list(const Folder& open) {
        std::vector<Name> names;
        errno = 0;
        while (dirent* entry = readdir(open.get())) {
            std::string bytes = entry->d_name;
            if (bytes == "." || bytes == "..") {
                continue;
            }
            struct stat info {};
            // Follows links; a broken link is listed as a file.
            bool isFolder =
                fstatat(open.fd(), bytes.c_str(), &info, 0) == 0 && S_ISDIR(info.st_mode);
            names.push_back({bytes, Lower(FromUtf8(bytes)), isFolder});
            errno = 0;
        }
        if (errno != 0) {
            throw FileError(errno, "読み込み", path_);
        }
        std::sort(names.begin(), names.end(), [](const Name& a, const Name& b) {
            return std::tie(a.folded, a.bytes) < std::tie(b.folded, b.bytes);
        });
        return names;
    }

    std::u16string pattern_;
    std::string path_; // of the folder being opened
    std::vector<Level> stack_;
    std::set<std::pair<dev_t, ino_t>> visited_;
    FoundFiles found_;
};

} // namespace

bool MatchesWildcard(std::u16string_view name, std::u16string_view pattern) {
    std::u32string n = std::u32string();
    std::u32string p = std::u32string();
    auto widen = [](std::u16string_view text, std::u32string& out) {
        for (size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
            }
            out += c;
        }
    };
    widen(name, n);
    widen(pattern, p);
    // Greedy match with one backtrack point: the last "*" seen.
    size_t ni = 0, pi = 0, starP = std::u32string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == U'?' || p[pi] == n[ni])) {
            ++ni;
            ++pi;
        } else if (pi < p.size() && p[pi] == U'*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'*') {
        ++pi;
    }
    return pi == p.size();
}

FoundFiles FindFiles(const std::filesystem::path& folder, std::u16string_view pattern) {
    Walk walk(Lower(pattern));
    walk.run(folder);
    return walk.take();
}

} // namespace tomorine
