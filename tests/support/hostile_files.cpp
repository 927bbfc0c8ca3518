#include "support/hostile_files.h"

#include <cerrno>
#include <fstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tomorine::test {

namespace fs = std::filesystem;

void MakeHostile(Hostile kind, const fs::path& path, std::uintmax_t bytes, std::string_view head) {
    switch (kind) {
    case Hostile::Fifo:
        if (::mkfifo(path.c_str(), 0600) != 0) {
            throw std::system_error(errno, std::generic_category(), "mkfifo " + path.string());
        }
        break;
    case Hostile::DevZero:
        fs::create_symlink("/dev/zero", path);
        break;
    case Hostile::Folder:
        fs::create_directory(path);
        break;
    case Hostile::Huge:
        std::ofstream(path, std::ios::binary).write(head.data(), std::streamsize(head.size()));
        fs::resize_file(path, bytes);
        break;
    }
}

const char* HostileName(Hostile kind) {
    const char* names[] = {"FIFO", "/dev/zero", "folder", "50 MB file"}; // as Hostile lists them
    return names[static_cast<int>(kind)];
}

bool MayWriteAt(Hostile kind) {
    return kind != Hostile::DevZero || ::geteuid() != 0;
}

std::string Fingerprint(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return "missing";
    }
    return std::to_string(info.st_mode) + " " + std::to_string(info.st_size) + " " +
           std::to_string(info.st_ino) + " " + std::to_string(info.st_mtim.tv_nsec);
}

std::set<std::string> Listing(const fs::path& folder) {
    std::set<std::string> listing;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        // A folder's time moves with a temporary file made and removed in it.
        listing.insert(entry.is_directory() ? name : name + " " + Fingerprint(entry.path()));
    }
    return listing;
}

} // namespace tomorine::test
