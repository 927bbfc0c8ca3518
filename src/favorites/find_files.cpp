#include "favorites/find_files.h"

#include "search/lower_case.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
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

class Walk {
public:
    explicit Walk(std::u16string pattern) : pattern_(std::move(pattern)) {}

    // Opens relative to the parent folder, so that a path beyond the system's
    // length limit is still walked.
    void folder(int parentFd, const std::string& name, const std::filesystem::path& path) {
        int fd = openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            throw FileError(errno, "読み込み", path);
        }
        DIR* dir = fdopendir(fd);
        if (dir == nullptr) {
            int error = errno;
            ::close(fd);
            throw FileError(error, "読み込み", path);
        }
        Folder open(dir);
        struct stat info {};
        if (fstat(open.fd(), &info) != 0 || !visited_.insert({info.st_dev, info.st_ino}).second) {
            return;
        }
        std::vector<Name> names = list(open, path);
        for (const Name& n : names) {
            if (!n.folder && MatchesWildcard(Lower(FromUtf8(n.bytes)), pattern_)) {
                found_.push_back(path / n.bytes);
            }
        }
        for (const Name& n : names) {
            if (n.folder) {
                folder(open.fd(), n.bytes, path / n.bytes);
            }
        }
    }

    std::vector<std::filesystem::path> take() { return std::move(found_); }

private:
    std::vector<Name> list(const Folder& open, const std::filesystem::path& path) {
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
            throw FileError(errno, "読み込み", path);
        }
        std::sort(names.begin(), names.end(), [](const Name& a, const Name& b) {
            return std::tie(a.folded, a.bytes) < std::tie(b.folded, b.bytes);
        });
        return names;
    }

    std::u16string pattern_;
    std::set<std::pair<dev_t, ino_t>> visited_;
    std::vector<std::filesystem::path> found_;
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

std::vector<std::filesystem::path> FindFiles(const std::filesystem::path& folder,
                                             std::u16string_view pattern) {
    Walk walk(Lower(pattern));
    walk.folder(AT_FDCWD, folder.native(), folder);
    return walk.take();
}

} // namespace tomorine
